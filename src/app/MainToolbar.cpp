#include "app/MainToolbar.h"

#include "app/AOrvell.h"
#include "app/MainMenus.h"
#include "app/PanicControl.h"
#include "core/Twips.h"
#include "panels/Shared.h"

#include <QDir>
#include <QFrame>
#include <QIcon>
#include <QMouseEvent>
#include <QToolBar>
#include <QToolButton>

#include <cmath>
#include <optional>
#include <vector>

namespace orvell {

namespace {

enum : int {
    MsgPushButtons = 100,
    MsgExitsProgram = 103,
    MsgCreatePatchGroup = 104,
    MsgHorizontalFader = 105,
    MsgJoystick = 106,
    MsgLoadSession = 107,
    MsgPatchList = 113,
    MsgSaveSession = 116,
    MsgPlaySequence = 118,
    MsgVerticalFader = 119,
    MsgMoveStatusBar = 122,
    MsgMoveToolBar = 123,
    MsgRecordEvents = 130,
    MsgStopRecorder = 131,
    MsgIconPalette = 133,
    MsgShow = 164,
    MsgHide = 165,
    MsgPanelsSuffix = 166,
    MsgThruSuffix = 185,
    MsgPanelPointer = 195,
    MsgHelpViewer = 206,
    MsgSaveDefault = 223,
    MsgBpm = 245,
    MsgRightClickBpm = 246,
};

constexpr int BarHeightTwips = 330;
constexpr int ButtonTop = 15;
constexpr int ButtonWidth = 330;
constexpr int ButtonHeight = 315;
constexpr int ExitWidth = 510;
constexpr int ExitHeight = 340;
constexpr int ButtonStep = 360;  // one button and its gap
constexpr int SeqButtonLeft = 2900;

enum class Kind { Push, Toggle };

// How a button's hover text is made.
enum class Hint {
    Fixed,      // the message
    Save,       // depends on the session file
    Panels,     // Show/Hide, the message, " Panel(s). Use &Tools Menu ..."
    Thru,       // Show/Hide, the message, " Panel. Also works as a switchable MIDI thru"
    ShowHide,   // Show/Hide and the message
    Recorder,   // recorder state and tempo
    Text,       // the button's own text
    None,
};

struct ButtonDef {
    const char* name;
    int left;  // design position, twips
    int width;
    int height;
    Kind kind;
    Hint hint;
    int message;
    std::optional<PanelClass> panels;
    bool available;  // at start; the rest arrive with their windows
    bool actsAnywhere = false;  // acts on release wherever the mouse is
    const char* text = nullptr;  // Hint::Text
};

const std::vector<ButtonDef>& buttonDefs()
{
    static const std::vector<ButtonDef> defs = {
        {"LoadButton", 20, ButtonWidth, ButtonHeight, Kind::Push, Hint::Fixed, MsgLoadSession, {}, true},
        {"SaveButton", 380, ButtonWidth, ButtonHeight, Kind::Push, Hint::Save, MsgSaveSession, {}, true},
        {"HFadeButton", 740, ButtonWidth, ButtonHeight, Kind::Toggle, Hint::Panels, MsgHorizontalFader,
         PanelClass::HFaders, true},
        {"VFadeButton", 1100, ButtonWidth, ButtonHeight, Kind::Toggle, Hint::Panels, MsgVerticalFader,
         PanelClass::VFaders, true},
        {"ButtonsButton", 1460, ButtonWidth, ButtonHeight, Kind::Toggle, Hint::Panels, MsgPushButtons,
         PanelClass::Buttons, true},
        {"JstkButton", 1820, ButtonWidth, ButtonHeight, Kind::Toggle, Hint::Panels, MsgJoystick,
         PanelClass::JstkCtrl, false},
        {"PtchButton", 2180, ButtonWidth, ButtonHeight, Kind::Toggle, Hint::Panels, MsgPatchList,
         PanelClass::PatchList, true},
        {"FavButton", 2540, ButtonWidth, ButtonHeight, Kind::Toggle, Hint::Thru, MsgCreatePatchGroup,
         PanelClass::PatchGroup, true},
        {"SeqButton", SeqButtonLeft, ButtonWidth, ButtonHeight, Kind::Toggle, Hint::Panels, MsgPlaySequence,
         PanelClass::Sequencer, true},
        {"IconBtn", 3780, ButtonWidth, ButtonHeight, Kind::Toggle, Hint::ShowHide, MsgIconPalette, {}, true},
        {"PnlPtrBtn", 4140, ButtonWidth, ButtonHeight, Kind::Toggle, Hint::Panels, MsgPanelPointer,
         PanelClass::PanlPointer, false},
        {"RecordBtn", 4500, ButtonWidth, ButtonHeight, Kind::Toggle, Hint::Recorder, MsgRecordEvents, {}, true},
        {"SysXBtn", 4920, ButtonWidth, ButtonHeight, Kind::Toggle, Hint::None, 0, {}, true, true},
        {"PanicBtn", 5340, ButtonWidth, ButtonHeight, Kind::Push, Hint::Text, 0, {}, true, false,
         "Panic: All Notes Off, All Sound Off and Reset All Controllers on every open port, sweeps and "
         "sequencers stopped (Esc twice or Ctrl+.)"},
        {"HelpBtn", 5940, ButtonWidth, ButtonHeight, Kind::Toggle, Hint::ShowHide, MsgHelpViewer, {}, true},
        {"ExitButton", 6300, ExitWidth, ExitHeight, Kind::Push, Hint::Fixed, MsgExitsProgram, {}, true},
    };
    return defs;
}

// Twips computed by the layout become pixels half to even, like every real
// that becomes an integer.
int layoutPixels(double twips) { return static_cast<int>(std::nearbyint(twips / TwipsPerPixel)); }

}  // namespace

struct MainToolbar::Private {
    Private(AOrvell& w, QToolBar& b) : window(w), bar(b) {}

    AOrvell& window;
    QToolBar& bar;
    QFrame* line = nullptr;
    std::vector<std::pair<const ButtonDef*, QToolButton*>> buttons;
    int tempo = 100;

    QToolButton* find(const QString& name) const
    {
        for (const auto& [def, button] : buttons) {
            if (name == QLatin1String(def->name))
                return button;
        }
        return nullptr;
    }
    const ButtonDef* defOf(QObject* watched) const
    {
        for (const auto& [def, button] : buttons) {
            if (button == watched)
                return def;
        }
        return nullptr;
    }
};

MainToolbar::MainToolbar(AOrvell& window, QToolBar& bar) : d_(std::make_unique<Private>(window, bar))
{
    bar.setFixedHeight(twipsToPixels(BarHeightTwips));
    // The buttons sit at fixed places rather than in the bar's row; this
    // filler makes the bar take the whole width of its edge.
    auto* filler = new QWidget(&bar);
    filler->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    bar.addWidget(filler);

    d_->line = new QFrame(&bar);
    d_->line->setObjectName(QStringLiteral("Toolbarln"));
    d_->line->setAttribute(Qt::WA_TransparentForMouseEvents);
    d_->line->setAutoFillBackground(true);
    d_->line->setBackgroundRole(QPalette::Light);

    for (const ButtonDef& def : buttonDefs()) {
        auto* button = new QToolButton(&bar);
        button->setObjectName(QLatin1String(def.name));
        button->setIcon(QIcon(QStringLiteral(":/toolbar/%1.svg").arg(QLatin1String(def.name))));
        button->setIconSize(QSize(twipsToPixels(def.width) - 4, twipsToPixels(def.height) - 4));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setMouseTracking(true);
        // A click on a greyed button must not reach the bar and move it.
        button->setAttribute(Qt::WA_NoMousePropagation);
        // The exit button is taller than the others and starts at the top.
        const int top = def.height > ButtonHeight ? 0 : twipsToPixels(ButtonTop);
        button->setGeometry(twipsToPixels(def.left), top, twipsToPixels(def.width), twipsToPixels(def.height));
        button->setEnabled(def.available);
        button->setCheckable(def.kind == Kind::Toggle);
        button->installEventFilter(this);
        button->raise();
        d_->buttons.emplace_back(&def, button);
    }

    auto connectPush = [this](const char* name, auto command) {
        connect(d_->find(QLatin1String(name)), &QToolButton::clicked, this, command);
    };
    connectPush("LoadButton", [this] { d_->window.LoadSession_Click(); });
    connectPush("SaveButton", [this] { d_->window.SaveSession_Click(); });
    connectPush("ExitButton", [this] { d_->window.Exit_Click(); });
    connectPush("PanicBtn", [this] { d_->window.panic().Panic_Click(); });

    bar.installEventFilter(this);
    window.statusBarStrip().installEventFilter(this);
    // Resizes while minimised are not laid out; restoring catches up.
    window.installEventFilter(this);
    layoutButtons();
}

MainToolbar::~MainToolbar() = default;

QToolBar& MainToolbar::bar() const { return d_->bar; }

QToolButton* MainToolbar::button(const QString& name) const { return d_->find(name); }

void MainToolbar::setClassPressed(PanelClass id, bool pressed)
{
    for (const auto& [def, button] : d_->buttons) {
        if (def->panels == id)
            button->setChecked(pressed);
    }
}

void MainToolbar::setAvailable(const QString& name, bool available)
{
    if (QToolButton* found = d_->find(name))
        found->setEnabled(available);
}

void MainToolbar::setRecorderTempo(int bpm) { d_->tempo = bpm; }

void MainToolbar::layoutButtons()
{
    if (d_->window.isMinimized())
        return;
    const int width = d_->bar.width();
    d_->line->setGeometry(0, 0, width, 1);
    d_->line->lower();

    const double barTwips = pixelsToTwips(width);
    const double exitLeft = barTwips - ExitWidth - 0.0033 * barTwips;
    const double helpLeft = exitLeft - ButtonStep;
    const double pointerLeft = (SeqButtonLeft + helpLeft) / 2;
    const double recordLeft = pointerLeft + ButtonStep;
    const std::pair<const char*, double> places[] = {
        {"ExitButton", exitLeft},
        {"HelpBtn", helpLeft},
        {"PnlPtrBtn", pointerLeft},
        {"IconBtn", pointerLeft - ButtonStep},
        {"RecordBtn", recordLeft},
        {"SysXBtn", recordLeft + ButtonStep},
        {"PanicBtn", recordLeft + 2 * ButtonStep},
    };
    for (const auto& [name, left] : places) {
        QToolButton* button = d_->find(QLatin1String(name));
        button->move(layoutPixels(left), button->y());
    }
}

bool MainToolbar::eventFilter(QObject* watched, QEvent* event)
{
    AOrvell& window = d_->window;
    Shared& shared = window.shared();
    const QEvent::Type type = event->type();
    if (watched == &window) {
        if (type == QEvent::WindowStateChange)
            layoutButtons();
        return QObject::eventFilter(watched, event);
    }

    // The empty part of either bar: pressing says what a click does, the click moves the bar.
    QToolBar* strip = &window.statusBarStrip();
    if (watched == &d_->bar || watched == strip) {
        if (watched == &d_->bar && type == QEvent::Resize)
            layoutButtons();
        const bool isToolBar = watched == &d_->bar;
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
            const int message = isToolBar ? MsgMoveToolBar : MsgMoveStatusBar;
            window.ShowStatusText(2, shared.msg(message));
            emit helpTopicFor(message);
            return true;
        }
        if (type == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (static_cast<QWidget*>(watched)->rect().contains(mouse->position().toPoint())) {
                if (isToolBar)
                    window.menus().MVToolBar_Click();
                else
                    window.menus().MvStatusBar_Click();
            }
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

    const ButtonDef* def = d_->defOf(watched);
    if (!def)
        return QObject::eventFilter(watched, event);
    auto* button = static_cast<QToolButton*>(watched);

    if (type == QEvent::Enter || type == QEvent::MouseMove) {
        const QString prefix = shared.msg(button->isChecked() ? MsgHide : MsgShow);
        QString text;
        switch (def->hint) {
        case Hint::Fixed:
            text = shared.msg(def->message);
            break;
        case Hint::Save:
            text = window.SessionFile.isEmpty()
                       ? shared.msg(MsgSaveDefault)
                       : shared.msg(MsgSaveSession) + QDir::toNativeSeparators(window.SessionFile);
            break;
        case Hint::Panels:
            text = prefix + shared.msg(def->message) + shared.msg(MsgPanelsSuffix);
            break;
        case Hint::Thru:
            text = prefix + shared.msg(def->message) + shared.msg(MsgThruSuffix);
            break;
        case Hint::ShowHide:
            text = prefix + shared.msg(def->message);
            break;
        case Hint::Recorder:
            text = shared.msg(shared.flags.RecorderRunning ? MsgStopRecorder : MsgRecordEvents) +
                   QStringLiteral(" @ ") + QString::number(d_->tempo) + shared.msg(MsgBpm) +
                   shared.msg(MsgRightClickBpm);
            break;
        case Hint::Text:
            text = QString::fromUtf8(def->text);
            break;
        case Hint::None:
            return QObject::eventFilter(watched, event);
        }
        window.ShowHint(text);
        emit helpTopicFor(def->message);
        return QObject::eventFilter(watched, event);
    }

    if (def->kind != Kind::Toggle)
        return QObject::eventFilter(watched, event);

    // Toggles: the press shows the other look at once; the release puts it
    // back and runs the action, which then shows the new state.
    const bool mouse =
        type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick || type == QEvent::MouseButtonRelease;
    if (!mouse)
        return QObject::eventFilter(watched, event);
    const auto* mouseEvent = static_cast<QMouseEvent*>(event);
    // The record button's right-click sets the tempo.
    if (button->isEnabled() && mouseEvent->button() != Qt::LeftButton && type == QEvent::MouseButtonPress &&
        button->objectName() == u"RecordBtn") {
        window.RecordBtn_MouseDown(mouseEvent->button());
        return true;
    }
    if (!button->isEnabled() || mouseEvent->button() != Qt::LeftButton)
        return true;
    button->setChecked(!button->isChecked());
    if (type != QEvent::MouseButtonRelease)
        return true;
    const bool over = def->actsAnywhere || button->rect().contains(mouseEvent->position().toPoint());
    if (over && def->panels) {
        window.toolsToggle(*def->panels);
        button->setChecked(window.classShown(*def->panels));
    }
    if (over && button->objectName() == u"SysXBtn")
        window.SysXBtn_Click();
    if (over && button->objectName() == u"IconBtn")
        window.IconBtn_Click();
    if (over && button->objectName() == u"HelpBtn")
        window.HelpBtn_Click();
    if (over && button->objectName() == u"RecordBtn")
        window.RecordBtn_MouseDown(Qt::LeftButton);
    else if (button->objectName() == u"RecordBtn")
        button->setChecked(shared.flags.RecorderRunning);
    return true;
}

}  // namespace orvell
