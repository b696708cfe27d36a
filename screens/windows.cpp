#include "screens/entry_result.h"
#include "screens/entry_window.h"
#include "screens/forms.h"
#include "screens/practice_result.h"
#include "screens/progress_window.h"

Form1* form1 = nullptr;
Form2* form2 = nullptr;
Form3* form3 = nullptr;
Form4* form4 = nullptr;
Form5* form5 = nullptr;
Form6* form6 = nullptr;
Form7* form7 = nullptr;
Form8* form8 = nullptr;

namespace {
// The caption tavo.dat gave, for the windows made after it was read.
QString g_caption;
bool g_captionSet = false;

void captionOthers()
{
    if (!g_captionSet || !form2)
        return;
    form2->setWindowTitle(g_caption);
    form2->Label1->setCaption(g_caption);
    form3->setWindowTitle(g_caption);
    form4->setWindowTitle(g_caption);
    form5->setWindowTitle(g_caption);
    form6->setWindowTitle(g_caption);
    form7->setWindowTitle(g_caption);
    form8->setWindowTitle(g_caption);
    progressWindow->setWindowTitle(g_caption);
    practiceResultWindow->setWindowTitle(g_caption);
    entryWindow->setWindowTitle(g_caption);
    entryResultWindow->setWindowTitle(g_caption);
}
}  // namespace

void createTitleWindow()
{
    forgetWindowPlace();
    g_captionSet = false;
    form1 = new Form1;
}

void createOtherWindows()
{
    if (form2)
        return;
    form2 = new Form2;
    form3 = new Form3;
    form4 = new Form4;
    form5 = new Form5;
    form6 = new Form6;
    form7 = new Form7;
    form8 = new Form8;
    progressWindow = new ProgressWindow;
    practiceResultWindow = new PracticeResultWindow;
    entryWindow = new EntryWindow;
    entryResultWindow = new EntryResultWindow;
    wireSideScreens();
    captionOthers();
}

void createWindows()
{
    createTitleWindow();
    createOtherWindows();
}

void destroyWindows()
{
    delete entryResultWindow; entryResultWindow = nullptr;
    delete entryWindow; entryWindow = nullptr;
    delete practiceResultWindow; practiceResultWindow = nullptr;
    delete progressWindow; progressWindow = nullptr;
    delete form8; form8 = nullptr;
    delete form6; form6 = nullptr;
    delete form5; form5 = nullptr;
    delete form4; form4 = nullptr;
    delete form3; form3 = nullptr;
    delete form2; form2 = nullptr;
    delete form1; form1 = nullptr;
    delete form7; form7 = nullptr;
}

void applyCaption(const QString& caption)
{
    g_caption = caption;
    g_captionSet = true;
    form1->setWindowTitle(caption);
    captionOthers();
}

void switchScreen(QWidget* current, QWidget* next)
{
    next->show();
    if (current != next)
        current->hide();
}
