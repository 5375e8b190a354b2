// Holds the payload resource in its own library so only programs that ship the payload
// (the installer, its tests) carry its bytes.
#include <QtGlobal>

namespace velmora {
// Referenced by users of the library so the linker keeps the resource's initialiser.
int PayloadResourceAnchor() {
    return 0;
}
} // namespace velmora
