#include "qt/deferred_icon.h"

#include <QIconEngine>
#include <QPainter>
#include <memory>

namespace lumodm {

namespace {

struct Deferred
{
    std::function<QIcon()> make;
    QIcon made;
    bool done = false;
};

class DeferredIconEngine : public QIconEngine
{
  public:
    explicit DeferredIconEngine(std::shared_ptr<Deferred> deferred) : deferred_(std::move(deferred))
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        made().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return made().pixmap(size, 1.0, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return made().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return made().availableSizes(mode, state);
    }
    bool isNull() override { return false; }
    QIconEngine* clone() const override { return new DeferredIconEngine(deferred_); }

  private:
    const QIcon& made()
    {
        if (!deferred_->done) {
            deferred_->done = true;
            deferred_->made = deferred_->make();
            deferred_->make = nullptr;
        }
        return deferred_->made;
    }

    std::shared_ptr<Deferred> deferred_;
};

} // namespace

QIcon deferredIcon(std::function<QIcon()> make)
{
    auto deferred = std::make_shared<Deferred>();
    deferred->make = std::move(make);
    return QIcon(new DeferredIconEngine(std::move(deferred)));
}

} // namespace lumodm
