#pragma once

#include "patches/PatchPanel.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace orvell {

// One synth's patches, played on the list's channel and port.
class PatchListPanel : public PatchPanel {
    Q_OBJECT

public:
    PatchListPanel(PanelHost& host, PatchClipboard& clipboard, QWidget* parent = nullptr);
    ~PatchListPanel() override;

    // No patches yet: New Panel loads a list into it instead of making another.
    bool isEmpty() const { return entries_.isEmpty(); }

    // Reads a patch file into the list; see LoadPatchFile.
    bool loadPatchFile(const QString& path, const QString& wantedBank);

    // Sends the program change of the current entry, as a double-click does.
    void RmtDblClick() override;
    void SaveBtn_Click() override;
    void Channel_Click();
    void Port_Click();
    // A channel or port typed into its pick list.
    void Channel_KeyPress();
    void Port_KeyPress();

    QString channelText() const;
    QString portText() const;

    // PatchTarget
    void setChanLbl(const QString& channel) override;
    void setPortLbl(const QString& port) override;

    void Clone(const QString& fromTag) override;
    void RefreshPortLists() override;

protected:
    PatchEntry clipEntry(int row) const override;
    PatchEntry pastedEntry(const PatchEntry& entry) const override;
    bool duplicatesByPort() const override { return false; }
    void listEdited() override;

    bool loadKey(const QString& key, const QString& value) override;
    void saveOwnKeys(SectionWriter& out) override;
    QList<QWidget*> textControls() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void checkTypedChannel(const QString& text);
    QString listHint() const;
    void showHintFor(QObject* control);
    QLabel* chanLbl_ = nullptr;
    QLabel* portLbl_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    QComboBox* channel_ = nullptr;
    QComboBox* port_ = nullptr;
    QPushButton* saveBtn_ = nullptr;
};

}  // namespace orvell
