// Resource numbers shared by Brightwick's resources and its code.
#pragma once

// The manifest activated around Brightwick's message box.
#define NORVELL_MESSAGE_MANIFEST_ID 101
