// The table's web page on Qt WebEngine.
#include <QCoreApplication>
#include <QObject>
#include <QOpenGLContext>
#include <QUrl>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "ui/WebPagePlugin.h"

// Qt's process-wide shared OpenGL context. The browser engine needs one; Qt makes it at start-up
// only when asked before the application object exists, which would put OpenGL into every
// table. The table makes it here, when the first page is shown.
QOpenGLContext* qt_gl_global_share_context();
void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace {

void EnsureSharedContext()
{
    if (qt_gl_global_share_context() != nullptr)
        return;
    auto* context = new QOpenGLContext(QCoreApplication::instance());
    context->create();
    qt_gl_set_global_share_context(context);
}

class WebEngineWebPage : public QObject, public WebPagePlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QuellorWebPagePlugin_iid)
    Q_INTERFACES(WebPagePlugin)

public:
    QWidget* CreateBrowser(QWidget* parent, std::function<void(bool ok)> finished) override
    {
        EnsureSharedContext();
        auto* view = new QWebEngineView(parent);
        view->hide();
        view->setContextMenuPolicy(Qt::NoContextMenu);
        // The page is a small plate on the table: no focus stolen from the chat line.
        view->setFocusPolicy(Qt::NoFocus);
        // A plate this small has no room for scroll bars.
        view->settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false);
        QObject::connect(view, &QWebEngineView::loadFinished, view, [finished](bool ok) {
            if (finished)
                finished(ok);
        });
        return view;
    }

    void Navigate(QWidget* browser, const QString& address) override
    {
        auto* view = qobject_cast<QWebEngineView*>(browser);
        if (view == nullptr)
            return;
        // Addresses from the server may come without a scheme ("www.example.com/x").
        view->setUrl(QUrl::fromUserInput(address));
    }
};

}  // namespace

#include "WebEnginePlugin.moc"
