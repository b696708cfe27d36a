#pragma once
// Qt's own texts (the standard buttons of the message boxes, its file and
// picture errors) in Japanese, from Qt's catalogue qtbase_ja.qm (Debian's
// qt6-translations-l10n), whatever language the desktop runs in.
class QCoreApplication;

// Installs the catalogue on the application. Without it Qt's texts stay in
// English and nothing else changes; returns whether it was found.
bool installQtJapanese(QCoreApplication& app);
