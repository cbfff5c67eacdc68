#include "ui/MainForm.h"

#include "resources/Pictures.h"
#include "ui/Layout.h"
#include "ui/PictureLoad.h"

// Hover pictures: a button shows its highlighted picture from the first move over it and its
// normal one again once the pointer has left it (its own leave event, which comes however
// fast the pointer goes) or is over the table, the bar or the plate behind it.

void MainForm::ConnectHover()
{
    for (int i = 0; i < 9; ++i) {
        connect(AnNiu[i], &PictureBox::hovered, this, [this, i] { AnNiuHover(i); });
        connect(AnNiu[i], &PictureBox::left, this, [this, i] { AnNiuRest(i); });
    }
    for (int i = 0; i < 7; ++i) {
        connect(Operation[i], &PictureBox::hovered, this, [this, i] { OperationHover(i); });
        connect(Operation[i], &PictureBox::left, this, [this, i] { OperationRest(i); });
    }
    connect(imgword1, &PictureBox::hovered, this, [this] { WordHover(0); });
    connect(imgword2, &PictureBox::hovered, this, [this] { WordHover(1); });
    connect(imgword1, &PictureBox::left, this, [this] { WordRest(0); });
    connect(imgword2, &PictureBox::left, this, [this] { WordRest(1); });
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

void MainForm::AnNiuRest(int index)
{
    if (index < 0 || index >= int(AnNiu.size()) || !AnNiuHighlighted[index])
        return;
    const int entry = Layout::AnNiuEntry(index, false, StartButtonContinues);
    LoadPictureById(AnNiu[index], Pictures::Tables().ToolbarButtonPictures[entry]);
    AnNiuHighlighted[index] = false;
}

void MainForm::OperationRest(int index)
{
    if (index < 0 || index >= int(Operation.size()) || !OperationHighlighted[index])
        return;
    const int entry = Layout::OperationEntry(index, false);
    LoadPictureById(Operation[index], Pictures::Tables().PlayButtonPictures[entry]);
    OperationHighlighted[index] = false;
}

void MainForm::WordRest(int index)
{
    if (index < 0 || index > 1 || !WordHighlighted[index])
        return;
    LoadPictureById(index == 0 ? imgword1 : imgword2, 516 + index);
    WordHighlighted[index] = false;
}

void MainForm::TableHover()
{
    for (int i = 0; i < int(AnNiu.size()); ++i)
        AnNiuRest(i);
    for (int i = 0; i < int(Operation.size()); ++i)
        OperationRest(i);
}

void MainForm::LocationHover()
{
    for (int i = 0; i < 2; ++i)
        WordRest(i);
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
