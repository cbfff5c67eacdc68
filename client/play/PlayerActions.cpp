#include "play/PlayerActions.h"

#include "sound/VosSet.h"
#include "ui/MainForm.h"

namespace PlayerActions {

void ConnectPlayerActions(MainForm& form)
{
    // The settings button opens and closes the sound settings.
    QObject::connect(form.AnNiu[3], &PictureBox::clicked, &form, [&form](Qt::MouseButton button) {
        if (button == Qt::LeftButton)
            ToggleVosSet(form);
    });
}

void FreeStartButton(MainForm& form)
{
    form.AnNiuLatched[2] = false;
    form.ShowStartButton(false);
    form.Time_Img->hide();
    form.Number->hide();
}

}  // namespace PlayerActions
