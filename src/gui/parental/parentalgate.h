#pragma once

#include "core/parental/gatequestion.h"

#include <QDialog>

class QLabel;
class QLineEdit;

// The question a small child cannot answer, in front of everything a parent
// decides. Accepted on the right answer; three wrong ones close it.
class ParentalGate : public QDialog
{
    Q_OBJECT
public:
    static constexpr int Tries = 3;

    explicit ParentalGate(QWidget *parent);

private:
    // Tests read the question asked through it, to answer it.
    friend struct GateInside;

    void onAnswered();
    void ask();

    GateQuestion m_question;
    int m_wrong = 0;
    QLabel *m_questionLabel = nullptr;
    QLabel *m_hint = nullptr;
    QLineEdit *m_answer = nullptr;
};
