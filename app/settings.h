#pragma once
// The player's remembered choices, in Qt's standard settings file for the
// program: an INI file under the user's config folder
// (${XDG_CONFIG_HOME:-~/.config}/quennel/quennel.ini). A choice given on
// the command line is written there and holds for later starts. A file
// that cannot be read, or a value that makes no sense, counts as not
// there: the game starts with its defaults.
#include "history/play_calendar.h"
#include "state/palette.h"

#include <QString>
#include <optional>

// Names under which Qt finds the settings file.
extern const char* const kOrganisationName;
extern const char* const kApplicationName;

struct GameSettings {
    bool mainRowDigits = false;   // the digits above the letters count as keypad digits
    bool mainRowQuestionAnswered = false;  // the title's question about them was answered
    int zoom = 0;                 // every window this many times its size; 0: the desktop's scale
    bool pace = true;             // the play screen shows the pace against the stage best
    int entryMinutes = 1;         // the length of a 数字入力 test: 1, 3 or 5
    int dailyGoal = kDefaultDailyGoal;  // minutes of play a day the title counts toward; 0: none
    PaletteName palette = PaletteName::Standard;  // the colours the screens draw with
};

struct SettingsFile {
    GameSettings values;       // the defaults where the file says nothing usable
    QString path;              // where the file is (or would be)
    bool broken = false;       // it exists but could not be read as settings
};

SettingsFile loadSettings();
// Where the settings file is (or would be), $XDG_CONFIG_HOME followed;
// nothing is read or made.
QString settingsFilePath();

// Remembers one choice in the file that loadSettings found. A broken file
// is kept beside the new one as "<name>.broken", so nothing the player
// wrote is lost. Returns false when the file could not be written.
// Choosing the keys on the command line lets the title ask again.
bool rememberMainRowDigits(const SettingsFile& loaded, bool on);
// The title's question answered: OK turns the main-row digits on, either
// answer stops it being asked.
bool rememberMainRowAnswer(const SettingsFile& loaded, bool on);
bool rememberZoom(const SettingsFile& loaded, int zoom);
bool rememberPace(const SettingsFile& loaded, bool on);
bool rememberEntryMinutes(const SettingsFile& loaded, int minutes);
bool rememberDailyGoal(const SettingsFile& loaded, int minutes);
bool rememberPalette(const SettingsFile& loaded, PaletteName name);

// What --daily-goal takes: a whole number of minutes from 0 to 120.
std::optional<int> parseDailyGoal(const QString& text);
