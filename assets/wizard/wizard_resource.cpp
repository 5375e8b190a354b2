// Holds the pictures of the wizard's forms in their own library, so only the wizard and its
// tests carry them.
namespace velmora {
// Referenced by the forms so the linker keeps the resource's initialiser.
int WizardResourceAnchor() {
    return 0;
}
} // namespace velmora
