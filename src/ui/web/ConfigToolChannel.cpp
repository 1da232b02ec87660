#include "ui/web/ConfigToolChannel.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonValue>
#include <QTimer>
#include <QUrl>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include "modules/framework/CHtmlModule.h"

// The served script lives in this library's resources, which a static library must load itself.
static void LoadPluginScriptResource() {
    Q_INIT_RESOURCE(PluginScript);
}

namespace {

QVariantMap Answer(const EScriptStatus status, const tScriptValue& value = {}) {
    if (status != EScriptStatus::kOk)
        return {{QStringLiteral("ok"), false},
                {QStringLiteral("error"), QStringLiteral("invalid argument")}};
    return {{QStringLiteral("ok"), true},
            {QStringLiteral("value"), CConfigToolChannel::FromScriptValue(value)}};
}

QVariantMap InvalidArgument() {
    return Answer(EScriptStatus::kInvalidArgument);
}

// Qt's channel client followed by the script that turns it into window.HWC.
QString PluginPageScript() {
    LoadPluginScriptResource();
    QString source;
    for (const char* path : {":/qtwebchannel/qwebchannel.js", ":/hwc/plugin-object.js"}) {
        QFile file(QString::fromLatin1(path));
        if (file.open(QIODevice::ReadOnly))
            source += QString::fromUtf8(file.readAll()) + QLatin1Char('\n');
    }
    return source;
}

} // namespace

CConfigToolChannel::CConfigToolChannel(CHtmlModule* pageModule, QObject* parent)
    : QObject(parent), m_object(std::make_unique<CConfigToolObj>()) {
    // A page loaded while another web-page module navigated last still belongs to its own module.
    if (pageModule && m_object->AssignedModule() != pageModule && m_object->AssignedModule()) {
        tScriptValue found;
        m_object->AssignModule(pageModule->InstanceName(), found);
    }
    m_object->Connect(this);
}

CConfigToolChannel::~CConfigToolChannel() {
    m_object->Disconnect(this);
    Detach();
}

void CConfigToolChannel::Retire() {
    Detach();
    m_retired = true;
    if (m_waits == 0)
        deleteLater();
}

void CConfigToolChannel::Detach() {
    m_detached = true;
    m_attached = false;
    for (auto& [seq, pending] : m_pending) {
        if (pending->loop)
            pending->loop->quit();
    }
}

std::optional<tScriptValue> CConfigToolChannel::ToScriptValue(const QVariant& value) {
    if (value.typeId() == QMetaType::QJsonValue)
        return ToScriptValue(value.toJsonValue().toVariant());
    switch (value.typeId()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        return tScriptValue{};
    case QMetaType::Bool:
        return tScriptValue{value.toBool()};
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Float:
    case QMetaType::Double:
        return tScriptValue{value.toDouble()};
    case QMetaType::QString:
        return tScriptValue{value.toString().toStdString()};
    default:
        return std::nullopt;
    }
}

QVariant CConfigToolChannel::FromScriptValue(const tScriptValue& value) {
    if (const auto* flag = std::get_if<bool>(&value))
        return *flag;
    if (const auto* number = std::get_if<double>(&value))
        return *number;
    if (const auto* text = std::get_if<std::string>(&value))
        return QString::fromStdString(*text);
    return QVariant::fromValue(nullptr);
}

QVariantMap CConfigToolChannel::AssignModule(const QVariant& modulePrefix) {
    const auto prefix = ToScriptValue(modulePrefix);
    if (!prefix)
        return InvalidArgument();
    tScriptValue result;
    return Answer(m_object->AssignModule(*prefix, result), result);
}

QVariantMap CConfigToolChannel::SetReg(const QVariant& name, const QVariant& value) {
    const auto nameValue = ToScriptValue(name);
    const auto newValue = ToScriptValue(value);
    if (!nameValue || !newValue)
        return InvalidArgument();
    tScriptValue result;
    return Answer(m_object->SetReg(*nameValue, *newValue, result), result);
}

QVariantMap CConfigToolChannel::GetReg(const QVariant& name) {
    const auto nameValue = ToScriptValue(name);
    if (!nameValue)
        return InvalidArgument();
    tScriptValue result;
    return Answer(m_object->GetReg(*nameValue, result), result);
}

QVariantMap CConfigToolChannel::SetWarning(const QVariant& id, const QVariant& set,
                                           const QVariant& text) {
    const auto idValue = ToScriptValue(id);
    const auto setValue = ToScriptValue(set);
    const auto textValue = ToScriptValue(text);
    if (!idValue || !setValue || !textValue)
        return InvalidArgument();
    return Answer(m_object->SetWarning(*idValue, *setValue, *textValue));
}

QVariantMap CConfigToolChannel::NavigatePage(const QVariant& url, const QVariant& tipText) {
    const auto urlValue = ToScriptValue(url);
    const auto tipValue = ToScriptValue(tipText);
    if (!urlValue || !tipValue)
        return InvalidArgument();
    return Answer(m_object->NavigatePage(*urlValue, *tipValue));
}

QVariantMap CConfigToolChannel::SetComment(const QVariant& comment) {
    const auto text = ToScriptValue(comment);
    if (!text)
        return InvalidArgument();
    return Answer(m_object->SetComment(*text));
}

void CConfigToolChannel::attachPage() {
    if (m_detached)
        return;
    m_attached = true;
    Raise(QStringLiteral("OnRefreshAll"), {}, false);
}

void CConfigToolChannel::eventDone(int seq, const QVariant& result) {
    const auto found = m_pending.find(seq);
    if (found == m_pending.end())
        return;
    found->second->answered = true;
    found->second->result = result;
    if (found->second->loop)
        found->second->loop->quit();
}

QVariant CConfigToolChannel::Raise(const QString& name, const QVariantList& arguments, bool wait) {
    if (!m_attached)
        return {};
    const int seq = ++m_lastSeq;
    if (!wait) {
        emit scriptEvent(seq, name, arguments);
        return {};
    }
    const auto pending = std::make_shared<tPendingEvent>();
    m_pending[seq] = pending;
    emit scriptEvent(seq, name, arguments);
    // The page answers through the channel, so the wait handles events (user input as well, as
    // on any slow page); the object may be withdrawn meanwhile.
    if (!pending->answered && !m_detached) {
        QEventLoop wait;
        pending->loop = &wait;
        QTimer::singleShot(kEventWaitMs, &wait, &QEventLoop::quit);
        ++m_waits;
        wait.exec();
        --m_waits;
    }
    m_pending.erase(seq);
    if (m_retired && m_waits == 0)
        deleteLater();
    return pending->answered ? pending->result : QVariant();
}

void CConfigToolChannel::OnRefreshAll() {
    Raise(QStringLiteral("OnRefreshAll"), {}, false);
}

void CConfigToolChannel::OnUpdateAll() {
    Raise(QStringLiteral("OnUpdateAll"), {}, true);
}

void CConfigToolChannel::OnCheckWarnings() {
    Raise(QStringLiteral("OnCheckWarnings"), {}, false);
}

std::int32_t CConfigToolChannel::OnShowToolTip(std::int32_t tipId, const std::string& text,
                                               const std::string& title) {
    const QVariant result =
        Raise(QStringLiteral("OnShowToolTip"),
              {tipId, QString::fromStdString(text), QString::fromStdString(title)}, true);
    bool isNumber = false;
    const double number = result.toDouble(&isNumber);
    if (!isNumber || !(number >= INT32_MIN && number <= INT32_MAX))
        return result.typeId() == QMetaType::Bool && result.toBool() ? 1 : 0;
    return static_cast<std::int32_t>(number);
}

void CConfigToolChannel::OnGenerateComment() {
    Raise(QStringLiteral("OnGenerateComment"), {}, true);
}

void CConfigToolChannel::OnProjectClosing() {
    Raise(QStringLiteral("OnProjectClosing"), {}, false);
}

CConfigToolGate::CConfigToolGate(QWebEnginePage* page, CHtmlModule* module, const QString& folder)
    : QObject(page), m_page(page), m_module(module), m_folder(folder),
      m_channel(new QWebChannel(this)) {
    QWebEngineScript script;
    script.setName(QStringLiteral("hwc-plugin-object"));
    script.setSourceCode(PluginPageScript());
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    page->scripts().insert(script);
    // A navigation that did not ask first (a page changing its address by history) loses the
    // object as well.
    connect(page, &QWebEnginePage::urlChanged, this, [this](const QUrl& url) {
        if (m_object && !IsInFolder(url, m_folder))
            Withdraw();
    });
}

CConfigToolGate::~CConfigToolGate() {
    // The page is going: only the object is left to let go of.
    if (m_object) {
        m_object->setParent(nullptr);
        m_object->Retire();
    }
}

bool CConfigToolGate::IsInFolder(const QUrl& url, const QString& folder) {
    if (!url.isLocalFile() || folder.isEmpty() || !url.host().isEmpty())
        return false;
    const QString root = QDir(folder).canonicalPath();
    const QString file = QFileInfo(url.toLocalFile()).canonicalFilePath();
    if (root.isEmpty() || file.isEmpty())
        return false;
    return file.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
}

void CConfigToolGate::Navigating(const QUrl& url) {
    Withdraw();
    if (!m_module || !IsInFolder(url, m_folder))
        return;
    m_object = new CConfigToolChannel(m_module, this);
    m_channel->registerObject(QStringLiteral("HWC"), m_object);
    m_page->setWebChannel(m_channel);
}

void CConfigToolGate::ModuleDestroyed() {
    m_module = nullptr;
    Withdraw();
}

void CConfigToolGate::Withdraw() {
    m_page->setWebChannel(nullptr);
    if (!m_object)
        return;
    m_channel->deregisterObject(m_object);
    // A wait for the page may still be running inside the object.
    m_object->setParent(nullptr);
    m_object->Retire();
    m_object = nullptr;
}
