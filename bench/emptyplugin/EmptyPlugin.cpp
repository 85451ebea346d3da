// SPDX-License-Identifier: BSD-3-Clause

#include "EmptyPlugin.h"
