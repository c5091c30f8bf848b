// Placeholder translation unit until the engine's first classes land.
namespace dd { int engineVersion() { return 1; } }
