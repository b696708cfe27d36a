#include "app/settings.h"

#include "history/play_calendar.h"
#include "platform/zoom.h"

#include <QRegularExpression>

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <initializer_list>
#include <optional>
#include <utility>

const char* const kOrganisationName = "quennel";
const char* const kApplicationName = "quennel";

namespace {
const char* const kMainRowDigitsKey = "keys/mainRowDigits";
const char* const kZoomKey = "display/zoom";
const char* const kMainRowAnsweredKey = "keys/mainRowQuestionAnswered";
const char* const kPaceKey = "play/pace";
const char* const kEntryMinutesKey = "entry/minutes";
const char* const kDailyGoalKey = "goal/dailyMinutes";
const char* const kPaletteKey = "display/palette";

QSettings openSettings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope,
                     QString::fromLatin1(kOrganisationName), QString::fromLatin1(kApplicationName));
}

// QSettings reads "true"/"false" (and numbers) leniently; only a clear yes
// or no counts.
std::optional<bool> readFlag(const QSettings& settings, const char* key)
{
    const QString text = settings.value(QString::fromLatin1(key)).toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("0"))
        return false;
    return std::nullopt;
}

bool isBroken(const QSettings& settings)
{
    return settings.status() != QSettings::NoError ||
           (QFileInfo::exists(settings.fileName()) && !QFileInfo(settings.fileName()).isFile());
}

using Values = std::initializer_list<std::pair<const char*, QVariant>>;

bool remember(const SettingsFile& loaded, Values values)
{
    if (loaded.broken) {
        // Start a fresh file, but keep the broken one for the player.
        const QString kept = loaded.path + QStringLiteral(".broken");
        if (!QFileInfo(loaded.path).isFile())
            return false;
        QFile::remove(kept);
        if (!QFile::rename(loaded.path, kept))
            return false;
    }
    QSettings settings = openSettings();
    for (const auto& [key, value] : values)
        settings.setValue(QString::fromLatin1(key), value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}
}  // namespace

QString settingsFilePath()
{
    return openSettings().fileName();
}

SettingsFile loadSettings()
{
    const QSettings settings = openSettings();
    SettingsFile file;
    file.path = settings.fileName();
    file.broken = isBroken(settings);
    if (file.broken)
        return file;
    if (const auto flag = readFlag(settings, kMainRowDigitsKey))
        file.values.mainRowDigits = *flag;
    if (const auto flag = readFlag(settings, kMainRowAnsweredKey))
        file.values.mainRowQuestionAnswered = *flag;
    if (const auto flag = readFlag(settings, kPaceKey))
        file.values.pace = *flag;
    // Only what --zoom itself takes counts.
    if (const auto zoom = parseZoom(settings.value(QString::fromLatin1(kZoomKey)).toString().trimmed()))
        file.values.zoom = *zoom;
    bool number = false;
    const int minutes = settings.value(QString::fromLatin1(kEntryMinutesKey)).toString().trimmed().toInt(&number);
    if (number && (minutes == 1 || minutes == 3 || minutes == 5))
        file.values.entryMinutes = minutes;
    if (const auto goal = parseDailyGoal(settings.value(QString::fromLatin1(kDailyGoalKey)).toString().trimmed()))
        file.values.dailyGoal = *goal;
    // Only what --palette itself takes counts.
    if (const auto name = parsePaletteName(settings.value(QString::fromLatin1(kPaletteKey)).toString().trimmed()))
        file.values.palette = *name;
    return file;
}

bool rememberMainRowDigits(const SettingsFile& loaded, bool on)
{
    return remember(loaded, {{kMainRowDigitsKey, on}, {kMainRowAnsweredKey, false}});
}

bool rememberMainRowAnswer(const SettingsFile& loaded, bool on)
{
    return remember(loaded, {{kMainRowDigitsKey, on}, {kMainRowAnsweredKey, true}});
}

bool rememberZoom(const SettingsFile& loaded, int zoom)
{
    return remember(loaded, {{kZoomKey, zoom}});
}

bool rememberPace(const SettingsFile& loaded, bool on)
{
    return remember(loaded, {{kPaceKey, on}});
}

bool rememberEntryMinutes(const SettingsFile& loaded, int minutes)
{
    return remember(loaded, {{kEntryMinutesKey, minutes}});
}

bool rememberDailyGoal(const SettingsFile& loaded, int minutes)
{
    return remember(loaded, {{kDailyGoalKey, minutes}});
}

bool rememberPalette(const SettingsFile& loaded, PaletteName name)
{
    return remember(loaded, {{kPaletteKey, paletteNameText(name)}});
}

std::optional<int> parseDailyGoal(const QString& text)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,3}$"));
    if (!digits.match(text).hasMatch())
        return std::nullopt;
    const int minutes = text.toInt();
    if (minutes > kMaxDailyGoal)
        return std::nullopt;
    return minutes;
}
