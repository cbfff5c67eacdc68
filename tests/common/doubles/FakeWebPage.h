#pragma once
// The web page layer's double: records navigations, placement, visibility and raises.
#include <QRect>
#include <QString>
#include <vector>

#include "ui/WebPage.h"

namespace TestDoubles {

class FakeWebPage : public WebPageView {
public:
    std::vector<QString> navigations;
    QRect geometry;
    bool visible = false;
    int raises = 0;

    void Navigate(const QString& address) override { navigations.push_back(address); }
    void SetGeometry(const QRect& rect) override { geometry = rect; }
    QRect Geometry() const override { return geometry; }
    void SetVisible(bool v) override { visible = v; }
    bool IsVisible() const override { return visible; }
    void Raise() override { ++raises; }
};

}  // namespace TestDoubles
