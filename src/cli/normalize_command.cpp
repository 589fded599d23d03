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
    // The tool never changes its input, whatever name or link OUT reaches it by.
    if (OutputIsAnInput(args[1], {args[0]}, err)) return ExitUsage;
    // Nothing is edited: no undo snapshot.
    TWireList model;
    if (const int status = ReadWholeModel(model, args[0], err, false); status != ExitOk) return status;
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
