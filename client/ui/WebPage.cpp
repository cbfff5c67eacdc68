#include "ui/WebPage.h"

#include <unistd.h>

#include <memory>

#include <QDebug>
#include <QPluginLoader>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include "session/Platform.h"
#include "ui/WebPagePlugin.h"

namespace {

bool g_engineLoaded = false;
WebPage::Factory g_factory;

// The plugin, loaded once per process and never unloaded: the browser engine does not
// survive being taken out of a running process. A path that failed is not tried again.
WebPagePlugin* LoadPlugin(const QString& path)
{
    static WebPagePlugin* plugin = nullptr;
    static QStringList tried;
    if (plugin != nullptr)
        return plugin;
    if (tried.contains(path))
        return nullptr;
    tried << path;
    // Deleting a loader does not unload its plugin; the one that worked is kept anyway.
    static std::unique_ptr<QPluginLoader> loader;
    auto candidate = std::make_unique<QPluginLoader>(path);
    plugin = qobject_cast<WebPagePlugin*>(candidate->instance());
    if (plugin == nullptr) {
        qWarning().noquote() << "web page: no browser plugin:" << candidate->errorString();
        return nullptr;
    }
    loader = std::move(candidate);
    g_engineLoaded = true;
    return plugin;
}

class PluginWebPage : public WebPageView {
public:
    PluginWebPage(QWidget* parent, QString pluginPath)
        : m_parent(parent), m_pluginPath(std::move(pluginPath))
    {
    }

    ~PluginWebPage() override
    {
        delete m_browser.data();
    }

    void Navigate(const QString& address) override
    {
        // The table shows web pages only: no local files, no scripts from an address.
        const QString scheme = QUrl::fromUserInput(address).scheme();
        const bool webAddress = scheme == QLatin1String("http") || scheme == QLatin1String("https");
        if (!webAddress || !EnsureBrowser()) {
            // Without a browser the page can only fail; say so from the event loop, as a
            // real browser would.
            QTimer::singleShot(0, &m_context, [this] {
                if (NavigateError)
                    NavigateError();
            });
            return;
        }
        m_plugin->Navigate(m_browser, address);
    }

    void SetGeometry(const QRect& rect) override
    {
        m_geometry = rect;
        if (m_browser)
            m_browser->setGeometry(rect);
    }

    QRect Geometry() const override { return m_geometry; }

    void SetVisible(bool visible) override
    {
        m_visible = visible;
        if (m_browser)
            m_browser->setVisible(visible);
    }

    // A page without a browser is never on screen.
    bool IsVisible() const override { return m_browser && m_visible; }

    void Raise() override
    {
        if (m_browser)
            m_browser->raise();
    }

private:
    bool EnsureBrowser()
    {
        if (m_browser)
            return true;
        if (m_unavailable || m_parent.isNull())
            return false;
        m_plugin = LoadPlugin(m_pluginPath);
        if (m_plugin == nullptr) {
            m_unavailable = true;
            return false;
        }
        m_browser = m_plugin->CreateBrowser(m_parent, [this](bool ok) {
            const std::function<void()>& event = ok ? DocumentComplete : NavigateError;
            if (event)
                event();
        });
        if (!m_browser) {
            m_unavailable = true;
            return false;
        }
        m_browser->setObjectName(QStringLiteral("WebBrowser1"));
        m_browser->setGeometry(m_geometry);
        m_browser->setVisible(m_visible);
        return true;
    }

    QPointer<QWidget> m_parent;
    QString m_pluginPath;
    WebPagePlugin* m_plugin = nullptr;
    QPointer<QWidget> m_browser;
    bool m_unavailable = false;
    QRect m_geometry;
    bool m_visible = false;
    QObject m_context;  // owns deferred events, so none runs after this layer is gone
};

}  // namespace

namespace WebPage {

std::unique_ptr<WebPageView> MakePluginView(QWidget* parent, const QString& pluginPath)
{
    return std::make_unique<PluginWebPage>(parent, pluginPath);
}

std::unique_ptr<WebPageView> MakeView(QWidget* parent)
{
    if (g_factory)
        return g_factory(parent);
    return MakePluginView(parent, Platform::ProgramDir() + QLatin1Char('/') + QLatin1String(PluginFileName));
}

void SetFactory(Factory factory)
{
    g_factory = std::move(factory);
}

bool EngineLoaded()
{
    return g_engineLoaded;
}

void PrepareEnvironment()
{
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

}  // namespace WebPage
