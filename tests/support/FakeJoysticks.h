#pragma once

#include "controllers/JoystickSystem.h"

#include <map>
#include <vector>

namespace orvell::test {

// Sticks a test plugs in, moves and pulls out.
class FakeJoysticks final : public JoystickSystem {
public:
    struct Stick {
        QString name;
        JoyPosition at;
        int id = 0;
    };

    bool present = true;
    int updates = 0;

    // Returns the device's index.
    int plug(const QString& name, JoyPosition at = {})
    {
        sticks.push_back({name, at, nextId_++});
        return int(sticks.size()) - 1;
    }
    void unplug(int index) { sticks.erase(sticks.begin() + index); }

    bool available() const override { return present; }
    void update() override { ++updates; }
    int count() const override { return int(sticks.size()); }
    QString name(int index) const override { return sticks[size_t(index)].name; }
    bool isOpen(int index) const override { return handles_.contains(sticks[size_t(index)].id); }
    int open(int index) override
    {
        if (isOpen(index))
            return -1;
        handles_[sticks[size_t(index)].id] = true;
        return sticks[size_t(index)].id;
    }
    void close(int handle) override { handles_.erase(handle); }
    std::optional<JoyPosition> position(int handle) const override
    {
        for (const Stick& stick : sticks) {
            if (stick.id == handle)
                return stick.at;
        }
        return std::nullopt;
    }

    std::vector<Stick> sticks;

private:
    int nextId_ = 1;
    std::map<int, bool> handles_;
};

}  // namespace orvell::test
