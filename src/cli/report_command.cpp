// velomast-cli report FILE OUT.pdf [--view 0|1|2|3] [--template T]
// The editor's report without the editor: reads FILE as the editor opens it, fits and
// centres the chosen view (the 3-D view by default) on the model, and writes the report of
// the template (test.frf beside the tool, or in ../share/velomast) as a PDF document. The
// numbers use the locale's decimal mark, as the editor's report does.
#include "commands.h"

#include "model/text_parse.h"
#include "model/wire_list.h"
#include "report/model_report.h"
#include "view/view_render.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLocale>

#include <ostream>

namespace velomast::cli {

namespace {

constexpr const char* ReportUsage = "Использование: velomast-cli report FILE OUT.pdf [--view 0|1|2|3] [--template T]\n";

struct TReportArgs {
    std::string In;
    std::string Out;
    std::string Template;
    uint8_t ViewKind = 0;
};

bool ParseReportArgs(const std::vector<std::string>& args, TReportArgs& p, std::ostream& err) {
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        if (name.size() < 3 || name.compare(0, 2, "--") != 0) {
            positional.push_back(name);
            continue;
        }
        std::string value;
        bool hasValue = false;
        if (const size_t eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
            hasValue = true;
        }
        if (name != "--view" && name != "--template") {
            err << "Неизвестный параметр: " << name << '\n';
            return false;
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) {
                err << "Не указано значение параметра " << name << '\n';
                return false;
            }
            value = args[++i];
        }
        if (name == "--view") {
            const int32_t v = StrToIntDef(value, -1);
            if (v < 0 || v > 3) {
                err << "Неверное значение параметра --view: " << value << '\n';
                return false;
            }
            p.ViewKind = static_cast<uint8_t>(v);
        } else {
            if (value.empty()) {
                err << "Не указано значение параметра --template\n";
                return false;
            }
            p.Template = value;
        }
    }
    if (positional.size() != 2) {
        err << ReportUsage;
        return false;
    }
    p.In = positional[0];
    p.Out = positional[1];
    return true;
}

char LocaleDecimalMark() {
    const QString mark = QLocale().decimalPoint();
    return (!mark.isEmpty() && mark[0].unicode() < 128) ? static_cast<char>(mark[0].unicode()) : '.';
}

} // namespace

int RunReport(const std::vector<std::string>& args, std::ostream& /*out*/, std::ostream& err) {
    TReportArgs p;
    if (!ParseReportArgs(args, p, err)) return ExitUsage;

    // The report never takes the place of the model it describes.
    if (IsSameFile(QString::fromStdString(p.In), QString::fromStdString(p.Out))) {
        err << "Файл результата " << p.Out << " — это исходный файл " << p.In
            << "; исходный файл не изменяется, укажите другой файл результата\n";
        return ExitUsage;
    }
    TWireList model;
    if (const int status = ReadWholeModel(model, p.In, err); status != ExitOk) return status;
    if (model.OwnCount() == 0) {
        err << "В модели нет проводов\n";
        return ExitFaultyModel;
    }

    const auto app = EnsureGuiApplication();
    const QString templateName = p.Template.empty() ? FindReportTemplate(QCoreApplication::applicationDirPath())
                                                    : QString::fromStdString(p.Template);
    if (IsSameFile(templateName, QString::fromStdString(p.Out))) {
        err << "Файл результата " << p.Out << " — это шаблон отчёта " << templateName.toStdString()
            << "; шаблон не изменяется, укажите другой файл результата\n";
        return ExitUsage;
    }
    TReport report;
    if (!report.LoadFromFile(templateName)) {
        err << report.LoadResult().Message.toStdString() << '\n';
        return ExitIo;
    }
    for (const TTemplateNote& n : report.LoadResult().Notes)
        err << "Предупреждение: " << TemplateNotesText({n}).toStdString() << '\n';

    TPlatformLook look;
    look.DecimalMark = LocaleDecimalMark();
    TRenderOptions view;
    view.ViewKind = p.ViewKind;
    view.Print = true;
    ConnectModelReport(report, model, ModelReportTexts(model, look.DecimalMark),
                       [&model, view, look] { return RenderModel(model, view, look); });
    if (!report.PrepareReport()) {
        err << "Отчёт не подготовлен: в шаблоне " << templateName.toStdString() << " нет ни одного объекта\n";
        return ExitIo;
    }
    const QString title = QString::fromStdString(model.ModelName).trimmed();
    if (const QString error = WriteReportPdf(report, QString::fromStdString(p.Out), title); !error.isEmpty()) {
        err << error.toStdString() << '\n';
        return ExitIo;
    }
    return ExitOk;
}

} // namespace velomast::cli
