#include "ui/analysis_adapter.h"

#include "model/wire_list.h"

namespace velomast {

std::vector<TUiFinding> CheckModel(const TWireList&) { return {}; }

bool WriteModelDeck(const TWireList&, const QString&, const TUiGround&, QString* error) {
    if (error) *error = QStringLiteral("Запись файла NEC-2 недоступна.");
    return false;
}

TUiAnalysis ReadAnalysis(const TWireList&, const QString&) {
    TUiAnalysis r;
    r.Error = QStringLiteral("Чтение результатов nec2c недоступно.");
    return r;
}

} // namespace velomast
