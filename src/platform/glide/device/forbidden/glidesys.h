// The device half of the software Glide works in its own terms (DeviceState.h) and never sees a
// Glide constant, type or entry point: the API half maps every GR_* value before it arrives.
// This header stands first on the device target's include path so that the rule is the build's.
#error "the Glide device half must not include glidesys.h; map the value in the API half (api/)"
