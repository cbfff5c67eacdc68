#pragma once
// What the floors below the table window may ask of it: the two lines of the message area and
// going down to the task bar. The window registers itself when it is made; without a window
// (start-up failures, tests without one) every call does nothing and the lines read empty.
#include <QString>
#include <QStringList>

class TableWindow {
public:
    virtual ~TableWindow() = default;
    virtual void ClearMessageLine(int index) = 0;
    virtual void AddMessageLine(int index, const QString& line) = 0;
    virtual QStringList MessageLines(int index) const = 0;
    virtual void MinimizeWindow() = 0;
};

void SetTableWindow(TableWindow* window);
TableWindow* TheTableWindow();

// The message area Sysmsg(0) (upper) and Sysmsg(1) (lower); other indexes are ignored.
void SysmsgClear(int index);
void SysmsgAdd(int index, const QString& line);
// Every entry of the list, one per line.
QString SysmsgText(int index);
// The list's first entry, or an empty text.
QString SysmsgFirstLine(int index);
// A line for the message area: the upper line first, then the lower; once both are in use the
// newest line always ends up as the lower one. Chat, video and the rest post their lines here.
void PostSystemLine(const QString& text);
void MinimizeMainForm();
