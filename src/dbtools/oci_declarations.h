#pragma once
// The few Oracle Call Interface types, constants and functions the connection
// uses, declared from Oracle's published OCI reference. The library is never
// linked: every function is resolved by name when the client is loaded.
#include <cstddef>
#include <cstdint>

namespace oci {

using sword = int32_t;
using ub4 = uint32_t;
using sb4 = int32_t;
using ub2 = uint16_t;
using sb2 = int16_t;
using ub1 = uint8_t;
using OraText = unsigned char;

struct OCIEnv;
struct OCIError;
struct OCISvcCtx;
struct OCIStmt;
struct OCIBind;
struct OCIDefine;
struct OCISnapshot;

constexpr ub4 OCI_DEFAULT = 0x0;
constexpr ub4 OCI_THREADED = 0x1;
constexpr ub4 OCI_HTYPE_ENV = 1;
constexpr ub4 OCI_HTYPE_ERROR = 2;
constexpr ub4 OCI_HTYPE_SVCCTX = 3;
constexpr ub4 OCI_HTYPE_STMT = 4;
constexpr ub4 OCI_HTYPE_DEFINE = 6;
constexpr ub4 OCI_DTYPE_PARAM = 53;
constexpr ub4 OCI_NTV_SYNTAX = 1;
constexpr ub4 OCI_ATTR_DATA_SIZE = 1;
constexpr ub4 OCI_ATTR_DATA_TYPE = 2;
constexpr ub4 OCI_ATTR_NAME = 4;
constexpr ub4 OCI_ATTR_ROW_COUNT = 9;
constexpr ub4 OCI_ATTR_PARAM_COUNT = 18;
constexpr ub4 OCI_ATTR_STMT_TYPE = 24;
constexpr ub2 OCI_STMT_SELECT = 1;
constexpr ub2 OCI_STMT_ALTER = 7;
constexpr ub2 OCI_FETCH_NEXT = 2;
constexpr ub4 OCI_DYNAMIC_FETCH = 0x2;
constexpr ub1 OCI_PARAM_OUT = 2;
constexpr ub1 OCI_ONE_PIECE = 0;
constexpr ub1 OCI_FIRST_PIECE = 1;
constexpr ub1 OCI_NEXT_PIECE = 2;
constexpr ub1 OCI_LAST_PIECE = 3;
constexpr ub2 SQLT_CHR = 1;
constexpr ub2 SQLT_NUM = 2;
constexpr ub2 SQLT_STR = 5;
constexpr ub2 SQLT_DAT = 12;
constexpr ub2 SQLT_LBI = 24;
constexpr ub2 SQLT_CLOB = 112;
constexpr ub2 SQLT_BLOB = 113;
constexpr ub2 SQLT_LNG = 8;
constexpr ub2 AL32UTF8 = 873;

constexpr sword OCI_SUCCESS = 0;
constexpr sword OCI_SUCCESS_WITH_INFO = 1;
constexpr sword OCI_NEED_DATA = 99;
constexpr sword OCI_NO_DATA = 100;
constexpr sword OCI_INVALID_HANDLE = -2;

using OCIEnvNlsCreate_t = sword (*)(OCIEnv **envp, ub4 mode, void *ctxp, void *(*malocfp)(void *, size_t),
                                    void *(*ralocfp)(void *, void *, size_t), void (*mfreefp)(void *, void *),
                                    size_t xtramem_sz, void **usrmempp, ub2 charset, ub2 ncharset);
using OCIHandleAlloc_t = sword (*)(const void *parenth, void **hndlpp, ub4 type, size_t xtramem_sz,
                                   void **usrmempp);
using OCIHandleFree_t = sword (*)(void *hndlp, ub4 type);
using OCIDescriptorFree_t = sword (*)(void *descp, ub4 type);
using OCILogon2_t = sword (*)(OCIEnv *envhp, OCIError *errhp, OCISvcCtx **svchp, const OraText *username,
                              ub4 uname_len, const OraText *password, ub4 passwd_len, const OraText *dbname,
                              ub4 dbname_len, ub4 mode);
using OCILogoff_t = sword (*)(OCISvcCtx *svchp, OCIError *errhp);
using OCIStmtPrepare2_t = sword (*)(OCISvcCtx *svchp, OCIStmt **stmthp, OCIError *errhp, const OraText *stmttext,
                                    ub4 stmt_len, const OraText *key, ub4 keylen, ub4 language, ub4 mode);
using OCIStmtRelease_t = sword (*)(OCIStmt *stmthp, OCIError *errhp, const OraText *key, ub4 keylen, ub4 mode);
using OCIBindByName_t = sword (*)(OCIStmt *stmtp, OCIBind **bindp, OCIError *errhp, const OraText *placeholder,
                                  sb4 placeh_len, void *valuep, sb4 value_sz, ub2 dty, void *indp, ub2 *alenp,
                                  ub2 *rcodep, ub4 maxarr_len, ub4 *curelep, ub4 mode);
using OCIStmtExecute_t = sword (*)(OCISvcCtx *svchp, OCIStmt *stmtp, OCIError *errhp, ub4 iters, ub4 rowoff,
                                   const OCISnapshot *snap_in, OCISnapshot *snap_out, ub4 mode);
using OCIAttrGet_t = sword (*)(const void *trgthndlp, ub4 trghndltyp, void *attributep, ub4 *sizep,
                               ub4 attrtype, OCIError *errhp);
using OCIParamGet_t = sword (*)(const void *hndlp, ub4 htype, OCIError *errhp, void **parmdpp, ub4 pos);
using OCIDefineByPos_t = sword (*)(OCIStmt *stmtp, OCIDefine **defnp, OCIError *errhp, ub4 position,
                                   void *valuep, sb4 value_sz, ub2 dty, void *indp, ub2 *rlenp, ub2 *rcodep,
                                   ub4 mode);
using OCIStmtFetch2_t = sword (*)(OCIStmt *stmtp, OCIError *errhp, ub4 nrows, ub2 orientation, sb4 fetchOffset,
                                  ub4 mode);
using OCIErrorGet_t = sword (*)(void *hndlp, ub4 recordno, OraText *sqlstate, sb4 *errcodep, OraText *bufp,
                                ub4 bufsiz, ub4 type);
using OCIStmtGetPieceInfo_t = sword (*)(const OCIStmt *stmtp, OCIError *errhp, void **hndlpp, ub4 *typep,
                                        ub1 *in_outp, ub4 *iterp, ub4 *idxp, ub1 *piecep);
using OCIStmtSetPieceInfo_t = sword (*)(void *hndlp, ub4 type, OCIError *errhp, const void *bufp, ub4 *alenp,
                                        ub1 piece, const void *indp, ub2 *rcodep);
using OCIBreak_t = sword (*)(void *hndlp, OCIError *errhp);

} // namespace oci
