#pragma once
// Names of the program's own pictures, compiled in under :/art/.
namespace art {
inline constexpr const char* kTitle = "title.jpg";            // 600 x 380, Form1
inline constexpr const char* kResults = "results.jpg";        // 600 x 380, Form4
inline constexpr const char* kFinal = "final.jpg";            // 600 x 380, Form5
inline constexpr const char* kHighScores = "highscores.jpg";  // 600 x 380, Form8
inline constexpr const char* kProgress = "progress.jpg";      // 600 x 380, the progress screen
inline constexpr const char* kMascot = "mascot.bmp";          // 32 x 32
inline constexpr const char* kGaugeTray = "gauge_tray.bmp";   // 416 x 66
inline constexpr const char* kPracticeResult = "practice.jpg";   // 600 x 380, the practice result
inline constexpr const char* kEntry = "entry.jpg";            // 600 x 380, 数字入力
inline constexpr const char* kEntryResult = "entry_result.jpg";  // 600 x 380, its result
inline constexpr const char* kTitleEntryLine = "title_entry.bmp";  // 196 x 50, the title's 数字入力 line
inline constexpr const char* kPracticeBanner = "stage_practice.jpg";  // 250 x 50, 練習
// stage_1.jpg .. stage_5.jpg   250 x 50 banners
// result_0.jpg .. result_2.jpg 600 x 50 (next stage, complete, game over)
// rank_0.jpg .. rank_5.jpg     200 x 50 (E, D, C, B, A, S)
// gauge_0.bmp .. gauge_9.bmp   40 x 50 blocks
// icon.ico (32 and 16)
inline constexpr const char* kIcon = "icon.ico";
}  // namespace art
