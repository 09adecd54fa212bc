#pragma once

#include <QString>

#include <memory>
#include <optional>

namespace orvell {

// One reading of a stick: both axes 0..65535 (centre 32768) and a bit per button.
struct JoyPosition {
    int x = 32768;
    int y = 32768;
    unsigned buttons = 0;
    bool operator==(const JoyPosition&) const = default;
};

// The joysticks and game controllers of the machine. Devices are numbered
// 0..count()-1 in the order the system lists them; an opened device is held
// by a handle that stays valid until it is closed, even when the device goes.
class JoystickSystem {
public:
    virtual ~JoystickSystem() = default;

    // False when the machine has no way to read joysticks at all.
    virtual bool available() const = 0;
    // Takes in what happened since the last call: devices added and removed,
    // and the new positions. Called from the user-interface thread only.
    virtual void update() = 0;
    virtual int count() const = 0;
    virtual QString name(int index) const = 0;
    // Whether some handle holds the device now.
    virtual bool isOpen(int index) const = 0;
    // A handle, or -1 when the device cannot be opened.
    virtual int open(int index) = 0;
    virtual void close(int handle) = 0;
    // Nothing when the device behind the handle is gone.
    virtual std::optional<JoyPosition> position(int handle) const = 0;
};

// SDL2's joystick layer, for the program; its virtual joysticks make the test devices.
std::unique_ptr<JoystickSystem> makeSdlJoystickSystem();

// A device a panel holds: it keeps the name, so that a stick unplugged and
// plugged in again is found and opened once more.
class JoystickLink {
public:
    explicit JoystickLink(JoystickSystem& system) : system_(system) {}
    ~JoystickLink();
    JoystickLink(const JoystickLink&) = delete;
    JoystickLink& operator=(const JoystickLink&) = delete;

    // The first device no other link holds; false when every one is taken.
    bool openFree();
    // The current position, after taking in device changes; nothing while the
    // device is away.
    std::optional<JoyPosition> read();
    // 1-based, as the panel shows it.
    int number() const { return index_ + 1; }
    const QString& deviceName() const { return name_; }

private:
    bool reopen();

    JoystickSystem& system_;
    int handle_ = -1;
    int index_ = -1;
    QString name_;
};

// How many devices have no link yet.
int freeJoysticks(const JoystickSystem& system);

}  // namespace orvell
