// The main form's data-file methods: the script container and the archives, read through the
// data library.
#include <iostream>

#include "app/main_form.h"

namespace orva {

bool TForm1::NVL_FileInit() {
    const auto result = Container.Init("SCRIPT.DAT");
    if (!result.Ok) std::cerr << "orva: " << result.Error << "\n";
    return result.Ok;
}

int TForm1::NVL_ReadFile(int kind, int index, TMemoryStream& stream) {
    return Container.ReadFile(kind, index, stream);
}

bool TForm1::CSFile_Init() {
    const auto result = Archives.Init(std::filesystem::current_path());
    if (!result.Ok) std::cerr << "orva: " << result.Error << "\n";
    return result.Ok;
}

bool TForm1::CSFile_Read(std::string_view name, TMemoryStream& stream) { return Archives.Read(name, stream); }

}  // namespace orva
