/* fake_oci_control.h: the control functions of the scriptable fake OCI library used by the
 * tests of the Oracle access layer. The library exports the 28 OCI entry points of oci.h and
 * these functions; a test dlopens the same file the product loads, resolves these with dlsym and
 * scripts what the "server" answers. All state is process-wide and guarded by one lock. */
#ifndef VELMORA_ORACLE_TESTLIB_FAKE_OCI_CONTROL_H
#define VELMORA_ORACLE_TESTLIB_FAKE_OCI_CONTROL_H

#ifdef __cplusplus
extern "C" {
#endif

/* Forgets every script, counter and log; the banner goes back to a 19c banner. Live handles are
 * kept (and still counted). */
void fakeoci_reset(void);

/* The text OCIServerVersion returns. */
void fakeoci_set_banner(const char* banner);

/* A user that may log on (the name ignores case, the password does not) and an alias that
 * OCIServerAttach accepts (others fail with ORA-12154). */
void fakeoci_add_user(const char* user, const char* password);
void fakeoci_add_alias(const char* alias);

/* A result set for a statement of exactly this text. Later results win over earlier ones.
 * fakeoci_result_bind restricts the last result to executions where the named placeholder was
 * bound to this value; fakeoci_result_row appends a row of `columns` cells (a null pointer is a
 * NULL value). A SELECT of a known text whose binds match no result returns no rows; a SELECT
 * of an unknown text fails with ORA-00942. */
void fakeoci_add_result(const char* sql, int columns);
void fakeoci_result_bind(const char* placeholder, const char* value);
void fakeoci_result_row(const char* const* cells);

/* The next `times` executions of a statement whose text contains `sqlPart` fail with the ORA
 * code (the standard text unless message is given). Lost-connection codes (28, 3113, 3114,
 * 12500-12699 ...) also mark the connection lost: every later call on it fails with ORA-03114
 * until a new server handle is attached. */
void fakeoci_fail_statement(const char* sqlPart, int times, int code, const char* message);

/* The nth call of an entry point from now on (1 = the next) fails with the ORA code. Supported
 * entry points: OCIServerAttach, OCISessionBegin, OCIStmtExecute, OCIStmtFetch. */
void fakeoci_fail_call(const char* entryPoint, int nth, int code, const char* message);

/* Lines waiting in the DBMS_OUTPUT buffer, read by "dbms_output.get_line" blocks. */
void fakeoci_add_output_line(const char* line);

/* Observations. */
int fakeoci_call_count(const char* entryPoint); /* calls since the last reset */
int fakeoci_live_handles(void);                 /* handles allocated and not freed */
int fakeoci_execute_count(const char* sql);     /* executions of exactly this text */
/* Copies the value last bound to the placeholder (any statement) into buf; -1 if never bound. */
int fakeoci_last_bind(const char* placeholder, char* buf, int size);
/* Copies the text of the index-th execution since the reset (0 = first); -1 past the end. */
int fakeoci_executed(int index, char* buf, int size);

#ifdef __cplusplus
}
#endif

#endif /* VELMORA_ORACLE_TESTLIB_FAKE_OCI_CONTROL_H */
