// The hidden picture store. Other screens copy its pictures into their image
// controls by reference, so a picture shown anywhere can be traced back here.
#include "screens/art.h"
#include "screens/forms.h"
#include "screens/layout_table.h"

namespace {
constexpr int kCharacterFrames = kCharacterPictures;  // filled by start-up from the game data
constexpr int kStageBanners = 5;      // stage_1.jpg .. stage_5.jpg
constexpr int kResultPictures = 3;    // result_0.jpg .. result_2.jpg
constexpr int kRankEmblems = 6;       // rank_0.jpg .. rank_5.jpg (E .. S)
}  // namespace

Form7::Form7()
{
    setWindowTitle(QStringLiteral("Form7"));
    resize(twipsToPixels(6105), twipsToPixels(3720));

    for (int i = 0; i < kCharacterFrames; ++i)
        Picture1.set(i, new PictureBox);
    for (int i = 0; i < kStageBanners; ++i)
        Picture2.set(i, new PictureBox{artPicture(QStringLiteral("stage_%1.jpg").arg(i + 1))});
    Picture2.set(kPracticeBanner, new PictureBox{artPicture(QString::fromLatin1(art::kPracticeBanner))});
    for (int i = 0; i < kResultPictures; ++i)
        Picture3.set(i, new PictureBox{artPicture(QStringLiteral("result_%1.jpg").arg(i))});
    for (int i = 0; i < kRankEmblems; ++i)
        Picture4.set(i, new PictureBox{artPicture(QStringLiteral("rank_%1.jpg").arg(i))});
}

Form7::~Form7()
{
    for (auto* array : {&Picture1, &Picture2, &Picture3, &Picture4})
        for (const auto& [index, box] : *array)
            delete box;
}
