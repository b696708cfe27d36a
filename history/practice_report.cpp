// The practice result's figures, worked out by the keypad figures' own code.
#include "history/practice_report.h"

PracticeReport practiceReport(const GameRecord& run, const KeypadInsight& before)
{
    PracticeReport report;
    const GameSpeed speed = gameSpeed(run);
    report.keys = speed.keys;
    report.accuracy = speed.accuracy;
    report.keysPerHour = speed.keysPerHour;
    // One run is short: every digit asked for gets its figure.
    const KeypadInsight now = keypadInsight({run}, 1);
    for (int d = 1; d <= kKeypadDigits; ++d) {
        const DigitFigures& figures = now.digit(d);
        report.hits += figures.hits;
        if (figures.keys > 0)
            report.digits.push_back({d, figures.keys, figures.medianMs, before.digit(d).medianMs});
    }
    return report;
}
