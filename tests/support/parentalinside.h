#pragma once

#include "gui/parental/parentalgate.h"

// The question the gate asks, so that a test can answer it.
struct GateInside
{
    static const GateQuestion &question(const ParentalGate &gate) { return gate.m_question; }
};
