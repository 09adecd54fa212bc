#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class QScrollBar;

namespace orvell {

class PanelHost;

// "Tempo": the beats per minute of the event recorder. OK and the window's
// close box both take the scroll bar's value; Cancel keeps the old tempo.
class TempoDlg : public QDialog {
    Q_OBJECT

public:
    TempoDlg(PanelHost& host, int tempo, QWidget* parent = nullptr);

    // The tempo to use after the dialog ended.
    int tempo() const { return result_; }

    QLineEdit* TempoVal = nullptr;
    QScrollBar* TempoScrol = nullptr;
    QPushButton* OkBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void take();

    PanelHost& host_;
    int result_;
};

}  // namespace orvell
