#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace orvell {

// Shows a widget's hint when the pointer enters it.
class HoverHints : public QObject {
public:
    explicit HoverHints(std::function<void(const QString&)> show, QObject* parent = nullptr);

    void add(QWidget* widget, const QString& hint);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(const QString&)> show_;
    QHash<QObject*, QString> hints_;
};

}  // namespace orvell
