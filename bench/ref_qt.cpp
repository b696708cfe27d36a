// The benchmark's Qt reference: the least a Qt Widgets program does to show
// a window and repaint a label on every key.
#include <QApplication>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>

class KeyLabel : public QLabel {
protected:
    void keyPressEvent(QKeyEvent* event) override { setText(event->text()); }
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    KeyLabel label;
    label.setWindowTitle(QStringLiteral("bench-qt"));
    label.setAlignment(Qt::AlignCenter);
#ifdef REF_QT_TEXT
    label.setFont(QFont(QStringLiteral("IPAPMincho"), 24));
    label.setText(QString::fromUtf8("テンキーで遊ぼう"));
#endif
    label.setFixedSize(594, 375);
    label.show();
    return app.exec();
}
