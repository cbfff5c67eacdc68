#include "ui/PlayArea.h"

#include <cstdlib>
#include <limits>

#include "ui/MainForm.h"
#include "ui/PictureBox.h"

namespace PlayArea {

namespace {

QRect OnScreen(const QWidget& control)
{
    const QWidget* parent = control.parentWidget();
    const QPoint at = parent != nullptr ? parent->mapToGlobal(control.pos()) : control.pos();
    return {at, control.size()};
}

bool Clear(const QRect& window, const std::vector<QRect>& area)
{
    for (const QRect& r : area)
        if (window.intersects(r))
            return false;
    return true;
}

}  // namespace

std::vector<QRect> Rects(const MainForm& form)
{
    // Every slot of the hand, shown or not: the hand spreads over them as it is dealt.
    QRect hand;
    for (const PictureBox* card : form.cardImage0)
        hand = hand.united(OnScreen(*card));
    hand.setTop(hand.top() - hand.height() / 5);
    std::vector<QRect> rects{hand};
    for (const PictureBox* button : form.Operation)
        rects.push_back(OnScreen(*button));
    return rects;
}

QPoint PlaceClear(const MainForm& form, const QRect& window)
{
    const std::vector<QRect> area = Rects(form);
    if (Clear(window, area))
        return window.topLeft();
    const QRect table = form.frameGeometry();
    // The window's edges put against an edge of the area, across and down, in every pairing.
    constexpr int Gap = 4;
    std::vector<int> xs{window.x()}, ys{window.y()};
    for (const QRect& r : area) {
        xs.push_back(r.left() - window.width() - Gap);
        xs.push_back(r.right() + 1 + Gap);
        ys.push_back(r.top() - window.height() - Gap);
        ys.push_back(r.bottom() + 1 + Gap);
    }
    QPoint best = window.topLeft();
    long long bestCost = std::numeric_limits<long long>::max();
    for (int x : xs) {
        for (int y : ys) {
            const QRect moved({x, y}, window.size());
            if (!table.contains(moved) || !Clear(moved, area))
                continue;
            const long long dx = x - window.x(), dy = y - window.y();
            const long long cost = dx * dx + dy * dy;
            if (cost < bestCost) {
                bestCost = cost;
                best = {x, y};
            }
        }
    }
    return best;
}

}  // namespace PlayArea
