// A dialog that breaks every rule of the rooms: layers.IncludesRefuse expects each refusal.
#include "data/Sql.h"
#include "data/engine/file/DatabaseOpen.h"
#include "data/engine/server/ServerDialect.h"
#include "data/shop/ShopBackup.h"
#include "manage/CFilmManageDlg.h"

#include <libpq-fe.h>
#include <sqlite3.h>
