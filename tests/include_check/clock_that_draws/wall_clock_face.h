// Its own file, which the check allows.
#pragma once
