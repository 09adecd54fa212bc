#pragma once

#include <QStringList>
#include <QWidget>

#include <array>

class QLabel;
class QListWidget;
class QToolButton;

namespace orvell {

class MessageTable;

// The status bar: field 0 says what is being done, field 1 the outcome,
// field 2 hints, field 3 counts the panels. With logging on, fields 0 and 1
// are also written to the message log.
class StatusLine : public QWidget {
    Q_OBJECT

public:
    static constexpr int MaxLogEntries = 100;
    static constexpr int LogTrim = 10;

    StatusLine(const MessageTable& msgs, QWidget* parent = nullptr);

    // Writes one blank and the text into the field.
    void ShowStatusText(int field, const QString& text);
    void ClearStatus();  // fields 0 to 2
    void clearField(int field);
    QString fieldText(int field) const;

    // A hint for field 2; ignored while a kept message is on screen.
    void ShowHint(const QString& text);
    // Keeps field 2 until the next menu opens.
    void setKeep(bool keep) { keep_ = keep; }
    bool keep() const { return keep_; }

    void setPanelCounter(const QString& text);

    bool MsgLogging() const { return logging_; }
    void MsgLogBtn_Click();
    void MsgLogBtn_DblClick();
    QStringList logEntries() const { return log_; }
    bool logShown() const;
    bool helpFullWidth() const { return fullWidth_; }

    // Mouse actions on the fields; the mouse handlers call these.
    void Message_MouseDown(int field);
    void Message_Click(int field);

    QLabel* field(int index) const { return fields_[static_cast<size_t>(index)]; }
    QToolButton* logButton() const { return logButton_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addLogEntry(const QString& entry);
    void showLog(bool show);
    void layoutFields();

    const MessageTable& msgs_;
    std::array<QLabel*, 4> fields_{};
    QToolButton* logButton_ = nullptr;
    QListWidget* logView_ = nullptr;
    QStringList log_;
    bool logging_ = false;
    bool keep_ = false;
    bool fullWidth_ = false;
    bool pairOpen_ = false;  // the last log entry still waits for its field 1 text
};

}  // namespace orvell
