#pragma once

#include "core/StoredColor.h"
#include "help/HelpTopics.h"
#include "help/TextSearch.h"
#include "panels/SessionHost.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;

namespace orvell {

class PanelHost;

// The "Help Viewer": one topic text at a time, a search through it, and with
// "Auto Sel" checked the topic follows the hints the pointer brings up. One
// exists for the run; closing it only hides it.
class HelpView : public QWidget, public SessionWindow {
    Q_OBJECT

public:
    explicit HelpView(PanelHost& host, QWidget* parent = nullptr);

    // Shows topic `Index`, reading its file the first time.
    void ShowHelp(int Index);
    // Reads the topic's file; false after the error box.
    bool LoadHelp(int Index);
    // Asks for the folder of the help files, proposing the one that was missing.
    void SetHelpDir();
    // Finds the text of the search box after the previous find ("Find - F3").
    void FindText();
    // The topic for the hint or menu with this message number, while the
    // viewer is shown and "Auto Sel" is checked.
    void ShowHelpTopicFor(int MsgNo);

    int topicIndex() const { return shown_; }
    // The text of a topic as read, "" until then.
    const QString& topicText(int Index) const { return texts_[Index]; }
    bool autoSelect() const;
    void setAutoSelect(bool on);
    // The folder topics are read from, ending in '/'.
    QString helpFolderPath() const;

    // SessionWindow
    QString className() const override { return QStringLiteral("HelpView"); }
    QString caption() const override { return windowTitle(); }
    QMdiSubWindow* subWindow() const override;
    bool keepsSize() const override { return true; }
    StoredColor backColor() const override { return BackColor; }
    void setBackColor(StoredColor color) override;
    void SaveMe(SectionWriter& out) override;
    void LoadMe(SectionReader& in) override;

signals:
    // "Locate Help Files" chose a new folder: the session changed.
    void helpDirChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isShown() const;
    // A topic chosen without the user asking for it (a hint, a session)
    // reports a missing file in the status line, once, rather than with a box
    // at every hint.
    void showTopic(int Index, bool automatic);
    bool readTopic(int Index, bool quietly);

    PanelHost& host_;
    QLabel* Label1 = nullptr;
    QComboBox* FindHist = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* TopicSel = nullptr;
    QCheckBox* AutoChk = nullptr;
    QPlainTextEdit* HelpText = nullptr;
    std::array<QString, HelpTopicCount> texts_;
    std::array<bool, HelpTopicCount> missing_{};
    TextSearch search_;
    int shown_ = 0;
    QString missingFile_;  // the file last found missing, proposed by SetHelpDir
    StoredColor BackColor = SysColor::ButtonFace;
};

}  // namespace orvell
