// Placeholder translation unit until the window code lands.
namespace zielwerk {}
