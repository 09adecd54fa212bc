#pragma once

#include "core/Reporter.h"

#include <QMainWindow>
#include <QStringList>

class QMdiArea;
class QToolBar;
class QToolButton;

namespace orvell {

class Dialogs;
class Shared;
class StatusLine;

// The main window: hosts the panels, the bars and the status line, runs
// start-up and the exit sequence.
class AOrvell : public QMainWindow, public Reporter {
    Q_OBJECT

public:
    AOrvell(Shared& shared, Dialogs& dialogs, QWidget* parent = nullptr);
    ~AOrvell() override;

    // The start-up steps after the window exists. False when the program must
    // end (no MIDI ports); the message has been shown.
    bool Load(const QStringList& commandWords, const QString& backendNotice = {});

    // Reporter
    void ShowStatusText(int field, const QString& text) override;
    void ShowMessage(const QString& text, const QString& title, MsgIcon icon) override;

    void ShowStatusMsg(int field, int messageNumber);
    void ClearStatus();

    void Exit_Click();
    void DumpMessages_Click();
    void LoadMsgFrmFile_Click();
    // Saves the session to SessionFile, or the default session when it is "".
    bool SaveSession_Click();

    StatusLine& statusLine() { return *statusLine_; }
    QMdiArea& mdiArea() { return *mdiArea_; }
    Shared& shared() { return shared_; }
    QString defaultSessionPath() const;

    bool IsChanged = false;
    bool Cloning = false;
    bool IMousedDown = false;
    bool ParsingCmdLn = false;
    QString BackPictFile;
    QString SessionFile;  // "" = the default session
    int MenuCycle = 0;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool queryUnload();
    bool sessionChanged() const;
    void processCommandLine(const QStringList& words);
    void loadSessionFile(const QString& path);
    void loadDefaultSession();
    void buildMenus();

    Shared& shared_;
    Dialogs& dialogs_;
    QMdiArea* mdiArea_ = nullptr;
    StatusLine* statusLine_ = nullptr;
    QToolBar* statusBar_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QToolButton* exitButton_ = nullptr;
};

}  // namespace orvell
