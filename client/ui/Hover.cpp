#include "ui/MainForm.h"

#include "resources/Pictures.h"
#include "ui/Layout.h"
#include "ui/PictureLoad.h"

// Hover pictures: a button shows its highlighted picture from the first move over it and its
// normal one again once the pointer is over the table, the bar or the plate behind it.

void MainForm::ConnectHover()
{
    for (int i = 0; i < 9; ++i)
        connect(AnNiu[i], &PictureBox::hovered, this, [this, i] { AnNiuHover(i); });
    for (int i = 0; i < 7; ++i)
        connect(Operation[i], &PictureBox::hovered, this, [this, i] { OperationHover(i); });
    connect(imgword1, &PictureBox::hovered, this, [this] { WordHover(0); });
    connect(imgword2, &PictureBox::hovered, this, [this] { WordHover(1); });
    connect(Pic1, &PictureBox::hovered, this, [this] { TableHover(); });
    connect(imgDilan, &PictureBox::hovered, this, [this] { TableHover(); });
    connect(imgLocation, &PictureBox::hovered, this, [this] { LocationHover(); });
    connect(imgDinglan, &PictureBox::hovered, this, [this] { TopBarHover(); });
}

void MainForm::AnNiuHover(int index)
{
    if (index < 0 || index >= int(AnNiu.size()) || AnNiuHighlighted[index])
        return;
    const int entry = Layout::AnNiuEntry(index, true, StartButtonContinues);
    LoadPictureById(AnNiu[index], Pictures::Tables().ToolbarButtonPictures[entry]);
    AnNiuHighlighted[index] = true;
}

void MainForm::OperationHover(int index)
{
    if (index < 0 || index >= int(Operation.size()) || OperationHighlighted[index])
        return;
    const int entry = Layout::OperationEntry(index, true);
    LoadPictureById(Operation[index], Pictures::Tables().PlayButtonPictures[entry]);
    OperationHighlighted[index] = true;
}

void MainForm::WordHover(int index)
{
    if (index < 0 || index > 1 || WordHighlighted[index])
        return;
    LoadPictureById(index == 0 ? imgword1 : imgword2, 518 + index);
    WordHighlighted[index] = true;
}

void MainForm::TableHover()
{
    for (int i = 0; i < int(AnNiu.size()); ++i) {
        if (!AnNiuHighlighted[i])
            continue;
        const int entry = Layout::AnNiuEntry(i, false, StartButtonContinues);
        LoadPictureById(AnNiu[i], Pictures::Tables().ToolbarButtonPictures[entry]);
        AnNiuHighlighted[i] = false;
    }
    for (int i = 0; i < int(Operation.size()); ++i) {
        if (!OperationHighlighted[i])
            continue;
        const int entry = Layout::OperationEntry(i, false);
        LoadPictureById(Operation[i], Pictures::Tables().PlayButtonPictures[entry]);
        OperationHighlighted[i] = false;
    }
}

void MainForm::LocationHover()
{
    for (int i = 0; i < 2; ++i) {
        if (!WordHighlighted[i])
            continue;
        LoadPictureById(i == 0 ? imgword1 : imgword2, 516 + i);
        WordHighlighted[i] = false;
    }
}

void MainForm::TopBarHover()
{
    if (Information != nullptr && Information->isVisible())
        Information->hide();
}

void MainForm::ShowStartButton(bool continues)
{
    StartButtonContinues = continues;
    AnNiuHighlighted[2] = false;
    LoadPictureById(AnNiu[2], Pictures::Tables().ToolbarButtonPictures[Layout::AnNiuEntry(2, false, continues)]);
}
