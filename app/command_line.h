#pragma once
// The command line, read before Qt's window system starts: --help and
// --version answer at once, a mistake ends the program with exit code 2
// and a message on standard error, before any window opens. Qt's own
// options (-platform, -display, -style, ...) pass through to QApplication.
#include "state/palette.h"

#include <QString>
#include <QStringList>
#include <optional>

// The program's own version (the title artwork shows the original's).
extern const char* const kProgramVersion;

// What this command line asks for. A choice left out here comes from the
// settings file.
struct CommandLineChoices {
    QString gameDir;                     // empty: the working directory
    std::optional<bool> mainRowDigits;   // given: remembered from now on
    QString exportHistory;               // given: write the play history there as CSV ("-": standard output) and end
    QString exportKeys;                  // given: write every key struck there as CSV ("-": standard output) and end
    std::optional<int> zoom;             // 1..4; given: remembered from now on
    std::optional<bool> pace;            // --pace / --no-pace; given: remembered from now on
    std::optional<int> dailyGoal;        // minutes, 0..120 (0: none); given: remembered from now on
    std::optional<PaletteName> palette;  // given: remembered from now on
};

struct CommandLineResult {
    bool run = false;   // false: end at once with exitCode
    int exitCode = 0;
    QString output;     // for standard output (help, version)
    QString errors;     // for standard error
    CommandLineChoices choices;
};

// `arguments` as the program got them, its own name first.
CommandLineResult readCommandLine(const QStringList& arguments);
