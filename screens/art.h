#pragma once
// Names of the program's own pictures, compiled in under :/art/.
namespace art {
inline constexpr const char* Title = "title.jpg";            // 600 x 380, Form1
inline constexpr const char* Results = "results.jpg";        // 600 x 380, Form4
inline constexpr const char* Final = "final.jpg";            // 600 x 380, Form5
inline constexpr const char* HighScores = "highscores.jpg";  // 600 x 380, Form8
inline constexpr const char* Progress = "progress.jpg";      // 600 x 380, the progress screen
inline constexpr const char* Mascot = "mascot.bmp";          // 32 x 32
inline constexpr const char* GaugeTray = "gauge_tray.bmp";   // 416 x 66
// stage_1.jpg .. stage_5.jpg   250 x 50 banners
// result_0.jpg .. result_2.jpg 600 x 50 (next stage, complete, game over)
// rank_0.jpg .. rank_5.jpg     200 x 50 (E, D, C, B, A, S)
// gauge_0.bmp .. gauge_9.bmp   40 x 50 blocks
// icon.ico (32 and 16)
inline constexpr const char* Icon = "icon.ico";
}  // namespace art
