#pragma once
// What the benchmark's parts share: a row of the printed table and the
// statistics every row uses.
#include <QRect>
#include <QString>

#include <vector>

struct Row {
    QString measure, result, goal;
    bool met;
};

double percentile(std::vector<double> v, double p);
inline double median(const std::vector<double>& v) { return percentile(v, 50); }

QString us(double v);
QString ms(double v, int decimals = 1);
QString pct(double v);

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
    QString gameBinary, refQt, refXlib;
    QString gameDir;      // a private copy of the game folder
    PlayScreenAreas play;
};

// The rows measured from outside through the X server: start-up, key to
// pixels, title to play, CPU and memory of the game beside the references.
void benchThroughX(std::vector<Row>& rows, const ScreenBenchSetup& setup);
