#pragma once
// What the benchmark's parts share: a row of the printed table and the
// statistics every row uses.
#include "bench/rounds.h"

#include <QRect>
#include <QString>

#include <utility>
#include <vector>

// One row of the printed table: the game's figures, the reference
// programs' figures measured by the same code in the same run, and their
// ratio. Rows about the game alone leave reference and ratio empty.
struct Row {
    Row(QString what, QString ours, QString aim, bool reached)
        : measure(std::move(what)), game(std::move(ours)), goal(std::move(aim)), met(reached) {}
    Row(QString what, QString ours, QString theirs, QString quotient, QString aim, bool reached)
        : measure(std::move(what)), game(std::move(ours)), reference(std::move(theirs)),
          ratio(std::move(quotient)), goal(std::move(aim)), met(reached) {}
    QString measure, game, reference, ratio, goal;
    bool met;
};


QString us(double v);
QString ms(double v, int decimals = 1);
QString pct(double v);
// a / b with two decimals, "?" when b is not positive.
QString ratio(double a, double b);
// The 1-minute load average of the machine.
QString loadAverage();

// Where the play screen shows what a key press and a clock tick change, in
// its window's pixels (taken from the real layout).
struct PlayScreenAreas {
    QRect grid;          // the whole key grid
    QRect bottomCells[3];  // the bottom row's cells
    int bottomResidue[3];  // digit % 3 of the keys each bottom cell shows
    QRect clockAreas[2];   // what every clock tick repaints: marker path, commentary
};

struct ScreenBenchSetup {
    QString display;      // the Xvfb display the programs run on
    QString gameBinary, refQt, refQtText, refXlib;
    QString gameDir;      // a private copy of the game folder
    PlayScreenAreas play;
};

// The rows measured from outside through the X server: start-up, key to
// pixels, title to play, CPU and memory of the game beside the references.
void benchThroughX(std::vector<Row>& rows, const ScreenBenchSetup& setup);

// Start-up only, of this build and of another game binary (say, an older
// build), in alternating rounds with the bare Qt window.
void benchStartupAgainst(std::vector<Row>& rows, const ScreenBenchSetup& setup, const QString& other, int rounds);
