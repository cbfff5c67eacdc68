// The reference for the start-up figures: an empty Qt Widgets window of a given size, nothing
// else. quellor-empty-window WIDTH HEIGHT
#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int width = argc > 2 ? std::atoi(argv[1]) : 800;
    const int height = argc > 2 ? std::atoi(argv[2]) : 600;
    QWidget window;
    window.resize(std::clamp(width, 100, 4096), std::clamp(height, 100, 4096));
    window.show();
    return app.exec();
}
