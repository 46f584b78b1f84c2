#pragma once

#include "core/parental/parentsettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

// "家长设置": the daily play time, the eye rests and the full-screen lock,
// and a quarter of an hour more for today. Shown only behind the gate.
class ParentSettingsDialog : public QDialog
{
    Q_OBJECT
public:
    ParentSettingsDialog(const ParentSettings &settings, int playedMinutesToday, QWidget *parent);

    // What the controls say now.
    ParentSettings chosen() const;

Q_SIGNALS:
    // "保存": the parent wants these settings kept and used.
    void saveRequested(const ParentSettings &settings);
    void moreTimeRequested();

private:
    QComboBox *m_daily = nullptr;
    QComboBox *m_eyeRest = nullptr;
    QCheckBox *m_lock = nullptr;
};
