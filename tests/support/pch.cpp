// Carries the precompiled headers that every Windows test exe reuses; it has
// no code of its own.
