// Holds the default skin in its own library so only programs that draw skinned windows (the
// installer, its tests) carry its bytes.
namespace velmora {
// Referenced by users of the library so the linker keeps the resource's initialiser.
int SkinResourceAnchor() {
    return 0;
}
} // namespace velmora
