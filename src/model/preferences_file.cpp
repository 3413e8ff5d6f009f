// The preferences file, the Tools menu and the running of external tools.
#include "model/helpers.h"
#include "model/model_globals.h"
#include "model/preferences.h"
#include "model/xml_parser.h"
#include "model/xml_property_reader.h"
#include "model/xml_text.h"
#include "platform/atomic_file.h"
#include "platform/shell.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QProcess>

namespace {

const QString kRootName = QStringLiteral("marrowtide_preferences");
// Marks the Tools menu's own items among the fixed entries.
const char *const kToolTagProperty = "tag";
constexpr int kToolTag = 99;

QString textProperty(int indent, const char *name, const QString &value)
{
    return TXmlText::Property(indent, QLatin1String(name), TXmlText::Escape(value));
}

// A menu shows "&" as an accelerator mark; a caption keeps every character.
QString menuText(const QString &caption)
{
    QString text = caption;
    return text.replace(QLatin1Char('&'), QLatin1String("&&"));
}

QString captionOfMenuText(const QString &text)
{
    QString caption;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&'))
                caption += text[++i];
            continue;
        }
        caption += text[i];
    }
    return caption;
}

} // namespace

void TToolPreference::WriteXML(QStringList &list, int indent) const
{
    list << THelpers::Indent(indent) + QLatin1String("<tool_preference>");
    list << textProperty(indent + 2, "tool_caption", Caption);
    list << textProperty(indent + 2, "program_name", ProgramName);
    list << textProperty(indent + 2, "working_dir", WorkingDir);
    list << textProperty(indent + 2, "parameters", Parameters);
    list << THelpers::Indent(indent) + QLatin1String("</tool_preference>");
}

void TToolPreferences::WriteXML(QStringList &list, int indent) const
{
    list << THelpers::Indent(indent) + QLatin1String("<tool_preferences>");
    for (const auto &tool : Items)
        tool->WriteXML(list, indent + 2);
    list << THelpers::Indent(indent) + QLatin1String("</tool_preferences>");
}

QString TPreferences::KeepDamagedCopy() const
{
    if (!m_damagedCopy.isEmpty())
        return m_damagedCopy;
    QFile damaged(m_damagedFile);
    if (!damaged.open(QIODevice::ReadOnly))
        throw EFileSaveError(QStringLiteral("Cannot read file \"%1\". %2").arg(m_damagedFile, damaged.errorString()));
    const QByteArray bytes = damaged.readAll();
    QString copy = m_damagedFile + QStringLiteral(".damaged");
    for (int n = 2; QFile::exists(copy); ++n) {
        QFile earlier(copy);
        if (earlier.open(QIODevice::ReadOnly) && earlier.readAll() == bytes) {
            m_damagedCopy = copy;
            return copy;
        }
        copy = m_damagedFile + QStringLiteral(".damaged.") + QString::number(n);
    }
    const QString reason = TAtomicFile::Write(copy, bytes);
    if (!reason.isEmpty())
        throw EFileSaveError(QStringLiteral("Cannot create file \"%1\". %2").arg(copy, reason));
    m_damagedCopy = copy;
    return copy;
}

void TPreferences::SavePreferences()
{
    if (TakeWindowLayout)
        TakeWindowLayout(*this);
    // What the user had in the damaged file is theirs to mend: it is never
    // overwritten before a copy of it is safe.
    if (m_loadFailed && FileName == m_damagedFile && QFile::exists(FileName))
        KeepDamagedCopy();
    QStringList list;
    list << TXmlText::Declaration();
    list << QStringLiteral("<marrowtide_preferences version=\"1.0\">");
    const auto flag = [&](const char *name, bool value) { list << textProperty(2, name, THelpers::BoolToYN(value)); };
    const auto number = [&](const char *name, int value) { list << textProperty(2, name, QString::number(value)); };
    flag("save_on_exit", SaveOnExit);
    list << textProperty(2, "last_user", LastUser);
    list << textProperty(2, "last_database", LastDatabase);
    list << textProperty(2, "last_filter", LastFilter);
    list << textProperty(2, "print_orientation", PrintOrientationToText(PrintOrientation));
    flag("draw_printer_pages", DrawPrinterPages);
    flag("draw_printer_page_number", DrawPrinterPageNumber);
    flag("double_buffer_panel", DoubleBufferPanel);
    flag("optimizer_choose", OptimizerChoose);
    number("explorers_tab_index", ExplorersTabIndex);
    number("left_panel_width", LeftPanelWidth);
    number("plan_panel_height", PlanPanelHeight);
    flag("show_status_bar", ShowStatusBar);
    DefaultStyle.WriteXML(list, 2);
    Tools.WriteXML(list, 2);
    list << QStringLiteral("  <previous_logons>");
    for (const QString &logon : PreviousLogons)
        list << textProperty(4, "previous_logon", logon);
    list << QStringLiteral("  </previous_logons>");
    // File names keep every character, "&" included: the Reopen menu escapes
    // it for display instead of the file losing it.
    list << QStringLiteral("  <previous_files>");
    for (const QString &file : PreviousFiles)
        list << textProperty(4, "previous_file", file);
    list << QStringLiteral("  </previous_files>");
    list << QStringLiteral("</marrowtide_preferences>");
    TXmlText::SaveLines(list, FileName);
    // The file is ours again, so closing the program may rewrite it.
    m_loadFailed = false;
}

void TPreferences::LoadPreferences()
{
    SetDefaults();
    if (!QFile::exists(FileName))
        return;
    try {
        TDirtyXMLParser parser;
        if (!parser.LoadFromFile(FileName))
            throw EXMLFileError(TXmlPropertyReader::LoadErrorMessage(FileName, parser.ErrorMessage()));
        const TXMLElement *root = parser.Root();
        if (!root || root->Name() != kRootName)
            throw EXMLFileError(TXmlPropertyReader::RootIsNotMessage(kRootName));
        ReadPreferences(*root);
    } catch (...) {
        m_loadFailed = true;
        m_damagedFile = FileName;
        m_damagedCopy.clear();
        throw;
    }
    m_loadFailed = false;
}

void TPreferences::ReadPreferences(const TXMLElement &root)
{
    TXmlPropertyReader::Read(root, [&](const QString &name, const QString &value) {
        if (name == QLatin1String("save_on_exit"))
            SaveOnExit = THelpers::YNToBool(value);
        else if (name == QLatin1String("last_user"))
            LastUser = value;
        else if (name == QLatin1String("last_database"))
            LastDatabase = value;
        else if (name == QLatin1String("last_filter"))
            LastFilter = value;
        else if (name == QLatin1String("print_orientation"))
            SetPrintOrientation(TextToPrintOrientation(value));
        else if (name == QLatin1String("draw_printer_pages"))
            DrawPrinterPages = THelpers::YNToBool(value);
        else if (name == QLatin1String("draw_printer_page_number"))
            DrawPrinterPageNumber = THelpers::YNToBool(value);
        else if (name == QLatin1String("double_buffer_panel"))
            DoubleBufferPanel = THelpers::YNToBool(value);
        else if (name == QLatin1String("optimizer_choose"))
            OptimizerChoose = THelpers::YNToBool(value);
        else if (name == QLatin1String("explorers_tab_index"))
            ExplorersTabIndex = StrToInt(value);
        else if (name == QLatin1String("left_panel_width"))
            LeftPanelWidth = StrToInt(value);
        else if (name == QLatin1String("plan_panel_height"))
            PlanPanelHeight = StrToInt(value);
        else if (name == QLatin1String("show_status_bar"))
            ShowStatusBar = THelpers::YNToBool(value);
    });

    for (const TXMLElement *child : root.Children()) {
        if (child->Name() == QLatin1String("diagram_style")) {
            TXmlPropertyReader::Read(*child, [&](const QString &name, const QString &value) {
                DefaultStyle.SetProperty(name, value);
            });
        }
    }

    Tools.Clear();
    for (const TXMLElement *list : root.Children()) {
        if (list->Name() != QLatin1String("tool_preferences"))
            continue;
        for (const TXMLElement *element : list->Children()) {
            if (element->Name() != QLatin1String("tool_preference"))
                continue;
            TToolPreference *tool = Tools.Add();
            TXmlPropertyReader::Read(*element, [&](const QString &name, const QString &value) {
                if (name == QLatin1String("tool_caption"))
                    tool->Caption = value;
                else if (name == QLatin1String("program_name"))
                    tool->ProgramName = value;
                else if (name == QLatin1String("working_dir"))
                    tool->WorkingDir = value;
                else if (name == QLatin1String("parameters"))
                    tool->Parameters = value;
            });
        }
    }

    const auto readTexts = [&](const char *listName, const char *itemName, QStringList &target) {
        target.clear();
        for (const TXMLElement *list : root.Children()) {
            if (list->Name() != QLatin1String(listName))
                continue;
            TXmlPropertyReader::Read(*list, [&](const QString &name, const QString &value) {
                if (name == QLatin1String(itemName))
                    target << value;
            });
        }
    };
    readTexts("previous_logons", "previous_logon", PreviousLogons);
    readTexts("previous_files", "previous_file", PreviousFiles);
}

void TPreferences::BuildToolsMenu(QMenu *parent)
{
    ToolsMenuParent = parent;
    if (!parent)
        return;
    const QList<QAction *> actions = parent->actions();
    for (auto it = actions.rbegin(); it != actions.rend(); ++it) {
        QAction *action = *it;
        if (action->property(kToolTagProperty).toInt() != kToolTag)
            continue;
        parent->removeAction(action);
        // Later, not now: this may run from the handler of one of these items.
        action->deleteLater();
    }
    for (int i = 0; i < Tools.Count(); ++i) {
        auto *action = new QAction(menuText(Tools.Items[i]->Caption), parent);
        action->setProperty(kToolTagProperty, kToolTag);
        action->setData(i);
        QObject::connect(action, &QAction::triggered, action, [this, action] { ToolMenuItemClick(action); });
        parent->addAction(action);
    }
}

void TPreferences::RefreshToolsMenu()
{
    if (ToolsMenuParent)
        BuildToolsMenu(ToolsMenuParent);
}

void TPreferences::ToolMenuItemClick(QAction *sender)
{
    if (!sender)
        return;
    // The item knows its tool by position, so tools sharing a caption each
    // run themselves.
    bool isIndex = false;
    const int index = sender->data().toInt(&isIndex);
    if (isIndex && sender->property(kToolTagProperty).toInt() == kToolTag) {
        if (index >= 0 && index < Tools.Count())
            RunExternalTool(*Tools.Items[index]);
        return;
    }
    RunToolByCaption(captionOfMenuText(sender->text()));
}

void TPreferences::RunToolByCaption(const QString &caption)
{
    if (const TToolPreference *tool = Tools.FindByCaption(caption))
        RunExternalTool(*tool);
}

namespace {

// One pass over the text: what a replacement brings in is never scanned
// again, so a password holding "$DATABASE" arrives as typed.
QString ReplaceToolMacros(const QString &text, const QString &user, const QString &password, const QString &database)
{
    const std::pair<QLatin1String, const QString *> macros[] = {{QLatin1String("$USERNAME"), &user},
                                                                {QLatin1String("$PASSWORD"), &password},
                                                                {QLatin1String("$DATABASE"), &database}};
    QString result;
    qsizetype done = 0;
    for (qsizetype at = text.indexOf(QLatin1Char('$')); at >= 0; at = text.indexOf(QLatin1Char('$'), at)) {
        bool replaced = false;
        for (const auto &[name, value] : macros) {
            if (QStringView(text).mid(at).startsWith(name)) {
                result += QStringView(text).mid(done, at - done);
                result += *value;
                at += name.size();
                done = at;
                replaced = true;
                break;
            }
        }
        if (!replaced)
            ++at;
    }
    result += QStringView(text).mid(done);
    return result;
}

} // namespace

void TPreferences::RunExternalTool(const TToolPreference &tool)
{
    // Split first, then fill in the macros: a password holding blanks or
    // quotation marks stays one argument.
    QStringList arguments = QProcess::splitCommand(tool.Parameters);
    if (THelpers::IsConnected()) {
        const QString user = DatabaseSession->GetUsername();
        const QString password = DatabaseSession->GetPassword();
        const QString database = DatabaseSession->GetDatabase();
        for (QString &argument : arguments)
            argument = ReplaceToolMacros(argument, user, password, database);
    }
    TShell::StartProgram(tool.ProgramName, arguments, {}, tool.WorkingDir);
}
