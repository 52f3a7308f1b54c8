#pragma once
// The decoded value store: value texts, counter block and device features.

struct DecodedValueStore {
};
