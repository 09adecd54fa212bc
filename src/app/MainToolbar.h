#pragma once

#include "panels/PanelClasses.h"

#include <QObject>

#include <memory>

class QToolBar;
class QToolButton;

namespace orvell {

class AOrvell;

// The toolbar's picture buttons: design positions, the layout on resize, the
// pressed look of the toggles and their hover texts. Clicking the empty part
// of the toolbar or of the status bar strip moves that bar to the other edge.
class MainToolbar : public QObject {
    Q_OBJECT

public:
    MainToolbar(AOrvell& window, QToolBar& bar);
    ~MainToolbar() override;

    QToolBar& bar() const;
    // By object name: "LoadButton", "HFadeButton", ..., "ExitButton".
    QToolButton* button(const QString& name) const;
    void setClassPressed(PanelClass id, bool pressed);
    // An unavailable button is shown greyed.
    void setAvailable(const QString& name, bool available);
    // Places the buttons for the current width of the bar.
    void layoutButtons();
    // The tempo named in the record button's hint.
    void setRecorderTempo(int bpm);

signals:
    // The mouse is over a button: the help viewer picks its topic from the
    // message number of the hint.
    void helpTopicFor(int messageNumber);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Private;
    std::unique_ptr<Private> d_;
};

}  // namespace orvell
