#pragma once

#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QToolButton;

namespace orvell {

class AOrvell;
class SectionWriter;
class WindowBlockReader;

// The "Sys Ex Messages" tool window: browses and edits the stored
// system-exclusive table in place. Every Add, OK and Del takes effect at once.
// One exists for the run; closing it only hides it.
class SysXDlg : public QWidget {
    Q_OBJECT

public:
    explicit SysXDlg(AOrvell& window);

    // False after telling the user which character is not hex.
    bool HexCheck(const QString& TheString);
    // Shows entry `Indx` (from 1).
    void SetSysXIndex(int Indx);
    // Shows the table as it is now, keeping the shown entry where it still exists.
    void Load();

    void AddBtn_Click();
    void OkBtn_Click();
    void DelBtn_Click();
    void HideButton_Click();

    // The window's block of a session: the header keys and SysExIndex.
    void writeBlock(SectionWriter& out);
    std::unique_ptr<WindowBlockReader> blockReader();
    // Adds one entry per message of a .syx file; writes the shown entry to one.
    void Import_Click();
    void Export_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The checks before storing into entry `own` (-1 for a new entry); false
    // after the refusal was shown and the focus moved.
    bool acceptable(const QString& label, const QString& message, int own);
    bool labelTaken(const QString& label, int own) const;
    void setRange(int count);
    void tableChanged();
    void SysXSel_Enter();
    int shownIndex() const;

    AOrvell& window_;
    QLineEdit* SysXSel = nullptr;
    QScrollBar* SysXScrol = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* SysXLbl = nullptr;
    QLineEdit* SysXMsg = nullptr;
    QPushButton* AddBtn = nullptr;
    QPushButton* OkBtn = nullptr;
    QPushButton* DelBtn = nullptr;
    QPushButton* ImportBtn = nullptr;
    QPushButton* ExportBtn = nullptr;
    QToolButton* HideButton = nullptr;
};

}  // namespace orvell
