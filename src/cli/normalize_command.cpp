// velomast-cli normalize IN OUT: reads IN as the editor opens it and writes it to OUT as
// the editor saves it. The linked files it names stay named, and are left alone.
#include "commands.h"

#include "files/maa_reader.h"
#include "files/maa_writer.h"
#include "model/wire_list.h"

#include <ostream>

namespace velomast::cli {

int RunNormalize(const std::vector<std::string>& args, std::ostream& /*out*/, std::ostream& err) {
    if (args.size() != 2) {
        err << "Использование: velomast-cli normalize IN OUT\n";
        return ExitUsage;
    }
    TWireList model;
    const TReadResult r = ReadModel(model, args[0]);
    if (r.Status == TReadStatus::FileMissing || r.Status == TReadStatus::CannotRead) {
        err << r.Message << '\n';
        return ExitIo;
    }
    for (const std::string& w : r.Warnings) err << "Предупреждение: " << w << '\n';
    if (!r.Ok()) {
        // A model cut short by a missing wire is not written: it is not the file's model.
        err << r.Message << '\n';
        return ExitFaultyModel;
    }
    // The file keeps naming its linked files (the editor writes them only when asked to).
    model.StoreLinkedList = !model.LinkedList.empty();
    const TWriteResult w = WriteModel(model, args[1], false, {}, false);
    if (!w.Ok) {
        err << w.Message << '\n';
        return ExitIo;
    }
    for (const std::string& m : w.Warnings) err << "Предупреждение: " << m << '\n';
    return ExitOk;
}

} // namespace velomast::cli
