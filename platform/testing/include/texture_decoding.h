// texture_decoding.h: the texture loader's checks, decoders and mip chain,
// which the Linux and the Windows builds share, for the tests that check
// them on their own.
#pragma once

#include "../../d3dx9/mip_chain.h"
#include "../../d3dx9/texture_file.h"
