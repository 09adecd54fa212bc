#include "app/RecorderControl.h"

#include "app/AOrvell.h"
#include "app/MainToolbar.h"
#include "app/TempoDlg.h"
#include "core/FileBytes.h"
#include "panels/Dialogs.h"
#include "panels/Shared.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QToolButton>

namespace orvell {

namespace {

enum : int {
    MsgCouldNotSave = 146,
    MsgSaveSequence = 180,
    MsgCouldNotErase = 189,
};

const QString RecordButton = QStringLiteral("RecordBtn");

}  // namespace

RecorderControl::RecorderControl(AOrvell& window) : window_(window) {}

RecorderControl::~RecorderControl()
{
    // The engine must not hand messages to a recorder that is gone.
    window_.shared().midi.setRecorder(nullptr);
}

void RecorderControl::showState()
{
    const bool on = window_.shared().flags.RecorderRunning;
    QToolButton* button = window_.toolbar().button(RecordButton);
    button->setIcon(QIcon(on ? QStringLiteral(":/toolbar/RecOn.svg") : QStringLiteral(":/toolbar/RecordBtn.svg")));
    button->setChecked(on);
    // The indicator: red while recording.
    button->setStyleSheet(on ? QStringLiteral("QToolButton { background-color: rgb(255, 0, 0); }") : QString());
}

void RecorderControl::toggle()
{
    Shared& shared = window_.shared();
    if (!shared.flags.RecorderRunning) {
        recorder_.start();
        shared.midi.setRecorder(&recorder_);
        shared.flags.RecorderRunning = true;
        showState();
        return;
    }
    shared.flags.RecorderRunning = false;
    showState();
    SaveRecording();
}

void RecorderControl::askTempo()
{
    TempoDlg dialog(window_, recorder_.tempo(), &window_);
    QToolButton* button = window_.toolbar().button(RecordButton);
    dialog.adjustSize();
    dialog.move(button->mapToGlobal(QPoint(0, button->height())));
    dialog.exec();
    setTempo(dialog.tempo());
}

void RecorderControl::setTempo(int bpm)
{
    recorder_.setTempo(bpm);
    window_.toolbar().setRecorderTempo(recorder_.tempo());
}

bool RecorderControl::SaveRecording()
{
    const QByteArray bytes = recorder_.fileBytes();
    if (bytes.isEmpty())
        return false;
    Shared& shared = window_.shared();
    FileRequest request;
    request.title = shared.msg(MsgSaveSequence);
    request.directory = shared.SeqDir;
    request.fileName = lastFile_;
    request.defaultExtension = QStringLiteral("mid");
    request.filter = QStringLiteral("MIDI 1.0 File (*.mid)|*.mid");
    const QString path = window_.dialogs().SaveFile(request);
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    // A file that may not be replaced stays as it is and nothing is written.
    if (info.exists() && (!info.isFile() || !info.isWritable())) {
        window_.dialogs().MsgBox(shared.msg(MsgCouldNotErase) + QDir::toNativeSeparators(path), MsgButtons::Ok,
                                 MsgIcon::Exclamation);
        return false;
    }
    FileError error;
    if (!writeFileBytes(path, bytes, error)) {
        window_.dialogs().MsgBox(QStringLiteral("Error saving ") + QDir::toNativeSeparators(path) + u'\r' + error.text +
                                     QStringLiteral(" (") + QString::number(error.number) + QStringLiteral(")\r") +
                                     shared.msg(MsgCouldNotSave),
                                 MsgButtons::Ok, MsgIcon::Exclamation, QStringLiteral("Save Recording"));
        return false;
    }
    shared.SeqDir = info.absolutePath() + u'/';
    lastFile_ = info.fileName();
    return true;
}

}  // namespace orvell

namespace orvell {

RecorderControl& AOrvell::recorderControl()
{
    if (!recorder_)
        recorder_ = std::make_unique<RecorderControl>(*this);
    return *recorder_;
}

void AOrvell::RecordBtn_Click() { recorderControl().toggle(); }

void AOrvell::RecordBtn_MouseDown(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        RecordBtn_Click();
    else
        recorderControl().askTempo();
}

}  // namespace orvell
