#include "ModuleImports.h"

namespace {
template <typename T>
T* At(HMODULE module, DWORD rva) {
  return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + rva);
}

IMAGE_NT_HEADERS* Headers(HMODULE module) {
  const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
  return At<IMAGE_NT_HEADERS>(module, dos->e_lfanew);
}

// Applies the base relocations for the module's actual address, unless the
// system did (it then records that address as the image base).
bool Relocate(HMODULE module) {
  IMAGE_NT_HEADERS* nt = Headers(module);
  const ULONG_PTR actual = reinterpret_cast<ULONG_PTR>(module);
  const ULONG_PTR delta = actual - static_cast<ULONG_PTR>(nt->OptionalHeader.ImageBase);
  if (!delta) return true;
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC];
  if (!directory.VirtualAddress) return false;
  const BYTE* block = At<BYTE>(module, directory.VirtualAddress);
  const BYTE* end = block + directory.Size;
  while (block < end) {
    const IMAGE_BASE_RELOCATION* header = reinterpret_cast<const IMAGE_BASE_RELOCATION*>(block);
    if (header->SizeOfBlock < sizeof *header) break;
    const WORD* entries = reinterpret_cast<const WORD*>(header + 1);
    const size_t count = (header->SizeOfBlock - sizeof *header) / sizeof(WORD);
    for (size_t i = 0; i < count; ++i) {
      const int type = entries[i] >> 12;
      BYTE* target = At<BYTE>(module, header->VirtualAddress + (entries[i] & 0xFFF));
      DWORD protection;
      if (type == IMAGE_REL_BASED_DIR64 || type == IMAGE_REL_BASED_HIGHLOW) {
        const size_t size = type == IMAGE_REL_BASED_DIR64 ? 8 : 4;
        VirtualProtect(target, size, PAGE_READWRITE, &protection);
        if (size == 8) *reinterpret_cast<ULONGLONG*>(target) += delta;
        else *reinterpret_cast<DWORD*>(target) += static_cast<DWORD>(delta);
        VirtualProtect(target, size, protection, &protection);
      } else if (type != IMAGE_REL_BASED_ABSOLUTE) {
        return false;
      }
    }
    block += header->SizeOfBlock;
  }
  DWORD protection;
  VirtualProtect(&nt->OptionalHeader.ImageBase, sizeof nt->OptionalHeader.ImageBase, PAGE_READWRITE, &protection);
  nt->OptionalHeader.ImageBase = actual;
  VirtualProtect(&nt->OptionalHeader.ImageBase, sizeof nt->OptionalHeader.ImageBase, protection, &protection);
  return true;
}

bool BindImports(HMODULE module) {
  const IMAGE_DATA_DIRECTORY& directory = Headers(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!directory.VirtualAddress) return true;
  for (const IMAGE_IMPORT_DESCRIPTOR* import = At<IMAGE_IMPORT_DESCRIPTOR>(module, directory.VirtualAddress);
       import->Name; ++import) {
    HMODULE library = LoadLibraryA(At<char>(module, import->Name));
    if (!library) return false;
    IMAGE_THUNK_DATA* slot = At<IMAGE_THUNK_DATA>(module, import->FirstThunk);
    const IMAGE_THUNK_DATA* name =
        At<IMAGE_THUNK_DATA>(module, import->OriginalFirstThunk ? import->OriginalFirstThunk : import->FirstThunk);
    for (; name->u1.AddressOfData; ++slot, ++name) {
      FARPROC function =
          IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)
              ? GetProcAddress(library, reinterpret_cast<LPCSTR>(IMAGE_ORDINAL(name->u1.Ordinal)))
              : GetProcAddress(library, At<IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(name->u1.AddressOfData))->Name);
      if (!function) return false;
      DWORD protection;
      VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection);
      slot->u1.Function = reinterpret_cast<ULONG_PTR>(function);
      VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
    }
  }
  return true;
}
}  // namespace

HMODULE LoadProgramAsModule(const char* path) {
  HMODULE module = LoadLibraryA(path);
  if (module && !(Relocate(module) && BindImports(module))) {
    FreeLibrary(module);
    return nullptr;
  }
  return module;
}
