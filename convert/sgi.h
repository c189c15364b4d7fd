// The SGI image reader shared by both converters.
#pragma once
