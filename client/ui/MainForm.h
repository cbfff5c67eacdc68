#pragma once
// The table window. It owns every control and timer of the table; logic elsewhere sets the
// controls' properties directly. Table controls are children of the table picture Pic1 and
// placed in its coordinates; the drawn frame and its buttons are children of the window.
#include <array>
#include <functional>
#include <memory>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "session/TableWindow.h"
#include "ui/PictureBox.h"
#include "ui/WebPage.h"

class MainForm : public QWidget, public TableWindow {
    Q_OBJECT
public:
    explicit MainForm(QWidget* parent = nullptr);
    ~MainForm() override;

    // The table picture: the felt everything else sits on.
    PictureBox* Pic1 = nullptr;
    // Holds the background picture as drawn; Pic1 shows it at the table's size. It is never
    // shown, so it takes no clicks and no keys.
    PictureBox* Pic2 = nullptr;
    // Bars along the bottom (the user's) and the top (the three others).
    PictureBox* imgDilan = nullptr;
    PictureBox* imgDinglan = nullptr;

    // Per screen position (0 the user, 1 left, 2 top, 3 right).
    std::array<PictureBox*, 4> Tou{};        // portraits
    std::array<QLabel*, 4> Nid{};            // "[title] nickname"
    std::array<QLabel*, 4> Cash{};           // coins
    std::array<QLabel*, 4> Level{};          // level name
    std::array<PictureBox*, 4> OK{};         // ready marks
    std::array<PictureBox*, 4> first{};      // place badges
    std::array<PictureBox*, 4> Speak{};      // pass bubbles
    std::array<QPushButton*, 4> btnJiaofen{};  // bid buttons, never shown

    // Cards: the user's hand and the cards each other position played in this deal.
    std::array<PictureBox*, 14> cardImage0{};
    std::array<PictureBox*, 14> cardImage1{};
    std::array<PictureBox*, 14> cardImage2{};
    std::array<PictureBox*, 14> cardImage3{};
    // Fans of card backs of positions 1, 2, 3.
    std::array<PictureBox*, 3> shanImage{};

    // Play, hint, pass, give up, sort, last trick, restore.
    std::array<PictureBox*, 7> Operation{};
    // Send, chat history, start/continue, settings, hide, score board, history, rules, exit.
    std::array<PictureBox*, 9> AnNiu{};

    PictureBox* Time_Img = nullptr;   // the clock picture
    QLabel* Number = nullptr;         // the clock's seconds
    QLabel* Label2 = nullptr;         // "当前级牌为："
    QLabel* Label3 = nullptr;         // the other side's level
    QLabel* Label4 = nullptr;         // our side's level
    QLabel* lblJiValue = nullptr;     // the level rank of the deal
    PictureBox* Image1 = nullptr;     // first-player marker

    PictureBox* imgLocation = nullptr;  // plate behind the location and the phrase buttons
    QLabel* Location = nullptr;
    PictureBox* imgword1 = nullptr;     // quick phrases, first and second list
    PictureBox* imgword2 = nullptr;

    PictureBox* Bird = nullptr;         // the web page's place
    std::unique_ptr<WebPageView> WebBrowser1;

    // The two one-line message lists, upper and lower.
    std::array<QListWidget*, 2> Sysmsg{};
    QLineEdit* Chat = nullptr;
    PictureBox* Lbchat = nullptr;       // caption of the chat line; a click toggles the history

    // Window chrome: the title strip and the frame buttons. Index 0 is the visible button;
    // 1, 2 and 3 hold its normal, highlighted and pressed pictures.
    QLabel* LbMove = nullptr;
    PictureBox* ImgIcon = nullptr;
    std::array<PictureBox*, 4> ImgClose{};
    std::array<PictureBox*, 4> ImgMin{};

    // Video places: own capture over the own portrait, displays, frames, reopen buttons and
    // command bars of positions 1..3 (element 0 of vshow1, ImgKuang and ImgShow is the own
    // portrait's place and stays unused), four command buttons per bar, the bar's tip text.
    PictureBox* vcap1 = nullptr;
    std::array<PictureBox*, 4> vshow1{};
    std::array<PictureBox*, 4> ImgKuang{};
    std::array<PictureBox*, 4> ImgShow{};
    std::array<QWidget*, 4> PicLocal{};
    std::array<PictureBox*, 16> ImCmd{};
    QLabel* Tiplbl = nullptr;

    QTimer* TimerBong = nullptr;
    QTimer* TimerKeepAlive = nullptr;
    QTimer* TimerChat = nullptr;        // the chat box's flood lock

    // Pop-up windows this window hides or closes itself; set by the parts that make them.
    QWidget* Talk = nullptr;
    QWidget* huifu = nullptr;
    QWidget* Information = nullptr;
    // Zoom windows of the video: own, then positions 1..3.
    std::array<QWidget*, 4> ZoomWindows{};

    // Hover state: whether each button shows its highlighted picture.
    std::array<bool, 9> AnNiuHighlighted{};
    std::array<bool, 7> OperationHighlighted{};
    std::array<bool, 2> WordHighlighted{};
    bool FrameButtonsNormal = true;
    // Toolbar latches; the start button is latched by the layout at start-up.
    std::array<bool, 9> AnNiuLatched{};
    // The start button shows the continue pictures once the first game was started.
    bool StartButtonContinues = false;
    // Set when the embedded page failed to load: it is never shown again.
    bool WebPageFailed = false;
    // Whether the frame is drawn (the large window).
    bool Framed = false;

    // Font size of Location at scale 1.0.
    static constexpr int LocationPointSize = 12;

    // Paints the frame from now on and puts the frame buttons and the title strip in place.
    void PaintFrame();
    // The play buttons Operation(from..to) hidden and disabled.
    void CloseOperations(int from, int to);
    // An empty seat: no ready mark, no portrait, no name, coins or level.
    void ClearSeat(int position);
    // Loads the start button's normal picture: the start pair or the continue pair.
    void ShowStartButton(bool continues);
    // The page of the entry reply: navigate and make it visible.
    void NavigateWebBrowser(const QString& address);
    // Replaces the page layer (tests install a double).
    void SetWebBrowser(std::unique_ptr<WebPageView> view);

    // The close button's action: what the table's close steps registered (the exit
    // confirmation); without one the table hands the screen back to the hall and ends.
    void ExitAction();
    void SetExitRequest(std::function<void()> request) { m_exitRequest = std::move(request); }

    // Mouse moves, as the controls report them.
    void AnNiuHover(int index);
    void OperationHover(int index);
    void WordHover(int index);
    // The pointer has left the button: its normal picture again.
    void AnNiuRest(int index);
    void OperationRest(int index);
    void WordRest(int index);
    void TableHover();          // Pic1 and the bottom bar
    void LocationHover();       // the plate behind the phrase buttons
    void TopBarHover();
    void FrameButtonHover(bool close);
    void FrameBackgroundHover();  // window background and title strip

    // Web page events.
    void WebDocumentComplete();
    void WebNavigateError();

    // The message area and minimising, for the floors below the window.
    void ClearMessageLine(int index) override;
    void AddMessageLine(int index, const QString& line) override;
    QStringList MessageLines(int index) const override;
    void MinimizeWindow() override;

protected:
    // A close from the window manager (Alt+F4, the task bar) takes the close button's path.
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void CreateTableControls();
    void CreateSeatControls();
    void CreateCardControls();
    void CreateButtons();
    void CreateClockAndCaptions();
    void CreateMessageArea();
    void CreateVideoControls();
    void CreateFrameControls();
    void ConnectHover();
    void ConnectFrameButtons();
    void FrameButtonDown(bool close);
    void FrameButtonUp(bool close, bool inside);
    void TitleStripPressed(QMouseEvent* event);
    void UpdateTitleStrip();
    void WindowRestored();

    // Fallback drag when the window system does not move the window itself.
    bool m_dragging = false;
    QPoint m_dragOffset;
    QPixmap m_skin;
    qreal m_skinRatio = 1;
    std::function<void()> m_exitRequest;
};

// The one table window of the process, or nullptr before it exists.
MainForm* TheMainForm();

// The entry reply's page on the table window, when there is one.
void ShowTableWebPage(const QString& address);
