#include "core/parental/parentsettings.h"

#include "core/base/datafolder.h"
#include "core/base/textfile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <optional>

const QList<int> ParentSettings::DailyChoices = {15, 30, 45, 60, 90, 120};
const QList<int> ParentSettings::EyeRestChoices = {15, 20, 30};

namespace {

const QString DailyKey = QStringLiteral("parent/dailyMinutes");
const QString EyeRestKey = QStringLiteral("parent/eyeRestMinutes");
const QString LockKey = QStringLiteral("parent/fullScreenLock");

// A count of minutes the program offers, 0 for off; absent is off too.
std::optional<int> minutes(const QSettings &ini, const QString &key, const QList<int> &choices)
{
    if (!ini.contains(key))
        return 0;
    bool number = false;
    const int value = ini.value(key).toString().toInt(&number);
    if (!number || (value != 0 && !choices.contains(value)))
        return std::nullopt;
    return value;
}

std::optional<bool> flag(const QSettings &ini, const QString &key)
{
    const QString value = ini.value(key, QStringLiteral("false")).toString();
    if (value != QLatin1String("true") && value != QLatin1String("false"))
        return std::nullopt;
    return value == QLatin1String("true");
}

// Text the program could have written: UTF-8 without control bytes.
bool looksLikeText(const QByteArray &bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\r' && c != '\t')
            return false;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    (void)utf8.decode(bytes);
    return !utf8.hasError();
}

std::optional<ParentSettings> parse(const QString &file)
{
    const QSettings ini(file, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError)
        return std::nullopt;
    const std::optional<int> daily = minutes(ini, DailyKey, ParentSettings::DailyChoices);
    const std::optional<int> eyeRest = minutes(ini, EyeRestKey, ParentSettings::EyeRestChoices);
    const std::optional<bool> lock = flag(ini, LockKey);
    if (!daily || !eyeRest || !lock)
        return std::nullopt;
    return ParentSettings{{*daily, *eyeRest}, *lock};
}

} // namespace

QString ParentSettings::defaultFile(const QString &xdgConfigHome, const QString &home)
{
    const QString base = QDir::isAbsolutePath(xdgConfigHome)
                             ? xdgConfigHome
                             : QDir(home).filePath(QStringLiteral(".config"));
    return QDir(base).filePath(QStringLiteral("Qorvel儿童乐园/settings.ini"));
}

QString ParentSettings::defaultPlayTimeFile(const QString &xdgDataHome, const QString &home)
{
    return QDir(DataFolder::userFolder(xdgDataHome, home)).filePath(QStringLiteral("playtime.txt"));
}

ParentSettings ParentSettings::load(const QString &file)
{
    const Result<QByteArray> bytes = TextFile::readBytes(file);
    if (!bytes) {
        if (bytes.error().number() != AppError::FileNotFound)
            qWarning().noquote() << "unreadable settings, all parental settings off:"
                                 << bytes.error().description();
        return {};
    }
    std::optional<ParentSettings> settings;
    if (looksLikeText(bytes.value()))
        settings = parse(file);
    if (settings)
        return *settings;
    qWarning().noquote() << "damaged settings, all parental settings off:" << file;
    const QString kept = file + QStringLiteral(".damaged");
    QFile::remove(kept);
    QFile::copy(file, kept);
    return {};
}

Result<> ParentSettings::save(const QString &file) const
{
    // QSettings writes the INI text, into a file of its own; the checked
    // writer then puts it in place whole.
    QTemporaryDir scratch;
    const QString draft = scratch.filePath(QStringLiteral("settings.ini"));
    {
        QSettings ini(draft, QSettings::IniFormat);
        const Result<QByteArray> old = TextFile::readBytes(file);
        if (old && looksLikeText(old.value()) && parse(file)) {
            const QSettings kept(file, QSettings::IniFormat);
            for (const QString &key : kept.allKeys())
                ini.setValue(key, kept.value(key));
        }
        ini.setValue(DailyKey, limits.dailyMinutes);
        ini.setValue(EyeRestKey, limits.eyeRestMinutes);
        ini.setValue(LockKey, fullScreenLock);
        ini.sync();
    }
    QDir().mkpath(QFileInfo(file).absolutePath());
    return TextFile::writeBytes(file, TextFile::readBytes(draft).valueOr({}));
}
