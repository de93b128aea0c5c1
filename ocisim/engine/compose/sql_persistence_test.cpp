// Storage under the real executor: what SQL statements create and change (users, grants,
// tables with constraints and defaults, indexes, sequences, views, stored code, triggers,
// comments, ALTER / RENAME / TRUNCATE / CREATE AS SELECT, DML) reads back the same through the
// dictionary after a reopen, keeps being enforced, and is seen by another process at its next
// statement; a statement that cannot be written fails and leaves nothing behind.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "engine/compose/engine.h"
#include "engine/compose/storage_test_support.h"
#include "engine/compose/test_support.h"

namespace ocisim::storage::testing {
namespace {

using ocisim::testing::errorCode;
using ocisim::testing::exec;
using ocisim::testing::query;
using ocisim::testing::Rows;

const char* kSetup[] = {
    "create user app identified by secret",
    "grant create session, create table, create view, create sequence to app",
    "grant select any table to app with admin option",
    "create table app.dept (deptno number(2) constraint dept_pk primary key, "
    "dname varchar2(14) not null, loc varchar2(13) default 'HQ') pctfree 5 storage (initial 128k)",
    "create table app.emp (empno number(4) primary key, ename varchar2(10), "
    "sal number(7,2) check (sal > 0), hired date default sysdate, "
    "deptno number(2) references app.dept on delete cascade)",
    "create unique index app.emp_name on app.emp (ename desc)",
    "create sequence app.emp_seq start with 100 increment by 10 cache 5",
    "insert into app.dept (deptno, dname) values (10, 'ACCOUNTING')",
    "insert into app.dept values (20, 'RESEARCH', 'DALLAS')",
    "insert into app.emp select app.emp_seq.nextval, 'E' || level, level * 100.25, "
    "to_date('2001-02-03', 'YYYY-MM-DD') + level, 10 + 10 * mod(level, 2) "
    "from dual connect by level <= 40",
    "update app.emp set sal = sal * 2 where mod(empno, 3) = 0",
    "delete from app.emp where empno between 200 and 260",
    "create view app.rich as select ename, sal from app.emp where sal > 2000",
    "create or replace procedure app.p is\nbegin\n  null;\nend;",
    "create or replace trigger app.emp_trg before insert on app.emp for each row\n"
    "begin\n  null;\nend;",
    "comment on table app.emp is 'People'",
    "alter table app.emp add (bonus number default 0)",
    "create table app.copy as select empno, ename from app.emp where deptno = 10",
    "create table app.scratch (x number)",
    "insert into app.scratch select level from dual connect by level <= 5",
    "truncate table app.scratch",
    "alter table app.copy rename to copy2",
    "grant select on app.emp to public",
};

const char* kLooks[] = {
    "select * from app.emp order by empno",
    "select * from app.dept order by deptno",
    "select * from app.copy2 order by empno",
    "select count(*) from app.scratch",
    "select object_name, object_type, status from all_objects where owner = 'APP' "
    "order by 1, 2",
    "select table_name, column_name, data_type, data_length, nullable, data_default "
    "from all_tab_columns where owner = 'APP' order by 1, column_id",
    "select constraint_name, constraint_type, table_name, search_condition, delete_rule "
    "from all_constraints where owner = 'APP' and constraint_name not like 'SYS%' order by 1",
    "select index_name, table_name, uniqueness from all_indexes where owner = 'APP' order by 1",
    "select sequence_name, min_value, increment_by, cache_size, last_number "
    "from all_sequences where sequence_owner = 'APP'",
    "select name, type, line, text from all_source where owner = 'APP' order by 1, 2, 3",
    "select grantee, privilege from all_tab_privs where table_name = 'EMP' order by 1, 2",
    "select pct_free, initial_extent from all_tables where owner = 'APP' and table_name = 'DEPT'",
};

Rows look(Session& s) {
  Rows all;
  for (const char* sql : kLooks) {
    Rows rows = query(s, sql);
    all.push_back({sql});
    all.insert(all.end(), rows.begin(), rows.end());
  }
  return all;
}

class SqlPersistence : public ::testing::Test {
 protected:
  void SetUp() override {
    db = createDatabase(dir.sub("db"));
    sys = db->logon("SYSTEM", "manager");
    for (const char* sql : kSetup) exec(*sys, sql);
  }
  void reopenDatabase() {
    sys.reset();
    db = reopen(db);
    sys = db->logon("SYSTEM", "manager");
  }
  TempDir dir;
  std::shared_ptr<Database> db;
  std::unique_ptr<Session> sys;
};

TEST_F(SqlPersistence, WhatSqlBuiltReadsBackTheSameAfterReopen) {
  Rows before = look(*sys);
  ASSERT_GT(before.size(), 60u);
  reopenDatabase();
  EXPECT_EQ(look(*sys), before);
  EXPECT_NO_THROW(db->logon("APP", "secret"));
}

TEST_F(SqlPersistence, ConstraintsDefaultsAndSequencesStillWorkAfterReopen) {
  reopenDatabase();
  EXPECT_EQ(errorCode(*sys, "insert into app.dept values (10, 'DUP', null)"), 1);
  EXPECT_EQ(errorCode(*sys, "insert into app.emp (empno, ename, sal) values (1, 'Z', -1)"), 2290);
  EXPECT_EQ(errorCode(*sys, "insert into app.emp (empno, deptno) values (3, 99)"), 2291);
  exec(*sys, "insert into app.dept (deptno, dname) values (30, 'SALES')");
  EXPECT_EQ(query(*sys, "select loc from app.dept where deptno = 30"), Rows{{"HQ"}});
  EXPECT_EQ(query(*sys, "select app.emp_seq.nextval from dual"), Rows{{"500"}});
  exec(*sys, "delete from app.dept where deptno = 20");  // cascades to EMP
  EXPECT_EQ(query(*sys, "select count(*) from app.emp where deptno = 20"), Rows{{"0"}});
  Rows before = look(*sys);
  reopenDatabase();
  EXPECT_EQ(look(*sys), before);
  EXPECT_EQ(query(*sys, "select app.emp_seq.nextval from dual"), Rows{{"510"}});
}

TEST_F(SqlPersistence, ConstraintStatesAndKeyIndexesSurviveJournalAndSnapshot) {
  exec(*sys,
       "create table app.st (id number, code varchar2(5), n number, "
       "constraint st_n_ck check (n > 0) deferrable initially deferred)");
  exec(*sys, "create unique index app.st_pk on app.st (id)");
  exec(*sys, "alter table app.st add constraint st_pk primary key (id)");
  exec(*sys, "alter table app.st add constraint st_code_uk unique (code) deferrable");
  exec(*sys, "alter table app.st disable constraint st_code_uk");
  exec(*sys, "alter table app.st modify constraint st_n_ck enable novalidate");
  const char* states =
      "select constraint_name, status, deferrable, deferred, validated, index_name "
      "from all_constraints where owner = 'APP' and table_name = 'ST' order by 1";
  Rows before = query(*sys, states);
  ASSERT_EQ(before,
            (Rows{{"ST_CODE_UK", "DISABLED", "DEFERRABLE", "IMMEDIATE", "NOT VALIDATED", "NULL"},
                  {"ST_N_CK", "ENABLED", "DEFERRABLE", "DEFERRED", "NOT VALIDATED", "NULL"},
                  {"ST_PK", "ENABLED", "NOT DEFERRABLE", "IMMEDIATE", "VALIDATED", "ST_PK"}}));
  reopenDatabase();  // from the journal
  EXPECT_EQ(query(*sys, states), before);
  storageOf(*db).compact(*db);
  reopenDatabase();  // from the snapshot
  EXPECT_EQ(query(*sys, states), before);
  EXPECT_EQ(errorCode(*sys, "insert into app.st values (1, 'a', 0)"), 2091);
  // The index existed before the key: it stays when the key goes.
  exec(*sys, "alter table app.st drop primary key");
  EXPECT_EQ(query(*sys, "select index_name from all_indexes where table_name = 'ST'"),
            Rows{{"ST_PK"}});
}

TEST_F(SqlPersistence, LengthSemanticsNationalAndZoneTypesSurviveJournalAndSnapshot) {
  exec(*sys,
       "create table app.chars (a varchar2(3 char), b nvarchar2(4), c nchar(2), d nclob, "
       "e timestamp(3) with time zone, f timestamp with local time zone, g char(2 char))");
  exec(*sys, "insert into app.chars (a, b, c, g) values ('äöü', 'äöüß', 'ä', 'é')");
  const char* columns =
      "select column_name, data_type, data_length, char_length, char_used, character_set_name "
      "from all_tab_columns where owner = 'APP' and table_name = 'CHARS' order by column_id";
  Rows before = query(*sys, columns);
  ASSERT_EQ(before[0], (std::vector<std::string>{"A", "VARCHAR2", "12", "3", "C", "CHAR_CS"}));
  ASSERT_EQ(before[4][1], "TIMESTAMP(3) WITH TIME ZONE");
  reopenDatabase();  // from the journal
  EXPECT_EQ(query(*sys, columns), before);
  storageOf(*db).compact(*db);
  reopenDatabase();  // from the snapshot
  EXPECT_EQ(query(*sys, columns), before);
  // The limits still count characters.
  EXPECT_EQ(errorCode(*sys, "insert into app.chars (a) values ('äöüa')"), 12899);
  EXPECT_EQ(query(*sys, "select length(c), lengthb(g) from app.chars"), (Rows{{"2", "3"}}));
}

TEST_F(SqlPersistence, RenamesViewConstraintsCommentsAndIndexKindsSurviveReopen) {
  exec(*sys,
       "create table app.r1 (id number constraint r1_pk primary key, name varchar2(9), "
       "memo varchar2(9))");
  exec(*sys, "comment on column app.r1.name is 'Name'");
  exec(*sys, "comment on column app.r1.memo is 'Memo'");
  exec(*sys, "create bitmap index app.r1_name on app.r1 (name)");
  exec(*sys, "create index app.r1_desc on app.r1 (name desc)");
  exec(*sys, "create view app.r1_v as select * from app.r1 with read only");
  auto app = db->logon("APP", "secret");
  exec(*app, "rename r1 to r2");
  exec(*app, "rename r1_v to r2_v");
  // A column's comment goes with the column: renamed with it, dropped with it.
  exec(*app, "alter table r2 drop column memo");
  exec(*app, "alter table r2 rename column name to title");
  const char* looks[] = {
      "select table_name, column_name, comments from all_col_comments where owner = 'APP' "
      "and comments is not null",
      "select table_name, constraint_type from all_constraints where owner = 'APP' and "
      "table_name like 'R%' order by 1, 2",
      "select index_name, index_type, table_name from all_indexes where owner = 'APP' and "
      "table_name = 'R2' order by 1",
      "select column_name from all_ind_columns where index_name = 'R1_DESC'",
      "select text from all_views where view_name = 'R2_V'",
  };
  Rows before;
  for (const char* sql : looks) {
    Rows rows = query(*sys, sql);
    before.insert(before.end(), rows.begin(), rows.end());
  }
  ASSERT_EQ(query(*sys, looks[0]), (Rows{{"R2", "TITLE", "Name"}}));
  ASSERT_EQ(before.back(),
            (std::vector<std::string>{"select \"ID\",\"NAME\",\"MEMO\" from app.r1"}));
  app.reset();
  reopenDatabase();  // from the journal
  Rows after;
  for (const char* sql : looks) {
    Rows rows = query(*sys, sql);
    after.insert(after.end(), rows.begin(), rows.end());
  }
  EXPECT_EQ(after, before);
  storageOf(*db).compact(*db);
  reopenDatabase();  // from the snapshot
  Rows compacted;
  for (const char* sql : looks) {
    Rows rows = query(*sys, sql);
    compacted.insert(compacted.end(), rows.begin(), rows.end());
  }
  EXPECT_EQ(compacted, before);
}

TEST_F(SqlPersistence, TablespacesIotsUnusableIndexesAndViewStatusSurviveReopen) {
  exec(*sys, "create tablespace app_data datafile 'app01.dbf' size 10m");
  exec(*sys, "create temporary tablespace app_temp tempfile 'tmp01.dbf' size 10m");
  exec(*sys, "alter user app default tablespace app_data temporary tablespace app_temp");
  exec(*sys, "create table app.io (id number primary key, name varchar2(9)) organization index");
  exec(*sys, "create table app.mv (id number constraint mv_pk primary key)");
  exec(*sys, "alter table app.mv move");
  exec(*sys, "create table app.base (id number)");
  exec(*sys, "create view app.over as select id from app.base");
  exec(*sys, "alter table app.base rename column id to ident");
  const char* looks[] = {
      "select tablespace_name, contents from dba_tablespaces order by 1",
      "select table_name, tablespace_name, iot_type from all_tables where owner = 'APP' and "
      "table_name in ('IO', 'MV', 'BASE') order by 1",
      "select case when index_name like 'SYS_IOT_TOP_%' then 'TOP' else index_name end, "
      "index_type, tablespace_name, status "
      "from all_indexes where owner = 'APP' and table_name in ('IO', 'MV') order by 2, 1",
      "select object_name, status from all_objects where owner = 'APP' and object_name = 'OVER'",
  };
  auto look = [&] {
    Rows out;
    for (const char* sql : looks) {
      Rows rows = query(*sys, sql);
      out.insert(out.end(), rows.begin(), rows.end());
    }
    return out;
  };
  Rows before = look();
  ASSERT_EQ(before.back(), (std::vector<std::string>{"OVER", "INVALID"}));
  reopenDatabase();  // from the journal
  EXPECT_EQ(look(), before);
  EXPECT_EQ(errorCode(*sys, "create table app.more (id number) tablespace nosuch"), 959);
  exec(*sys, "create table app.more (id number)");
  EXPECT_EQ(query(*sys, "select tablespace_name from all_tables where table_name = 'MORE'"),
            (Rows{{"APP_DATA"}}));
  storageOf(*db).compact(*db);
  reopenDatabase();  // from the snapshot
  EXPECT_EQ(look(), before);
  EXPECT_EQ(query(*sys, "select tablespace_name from all_tables where table_name = 'MORE'"),
            (Rows{{"APP_DATA"}}));
  exec(*sys, "drop tablespace app_temp");
  reopenDatabase();
  EXPECT_EQ(query(*sys, "select count(*) from dba_tablespaces where tablespace_name like 'APP%'"),
            (Rows{{"1"}}));
}

TEST_F(SqlPersistence, AnotherProcessSeesCommittedStatementsAtItsNextStatement) {
  int toChild[2];
  int toParent[2];
  ASSERT_EQ(::pipe(toChild), 0);
  ASSERT_EQ(::pipe(toParent), 0);
  pid_t child = ::fork();
  if (child == 0) {
    int code = 0;
    try {
      // The inherited instance takes its own lock; its memory follows the journal.
      auto session = db->logon("APP", "secret");
      exec(*session, "insert into dept values (40, 'OPERATIONS', 'BOSTON')");
      exec(*session, "create table notes (id number primary key, text varchar2(20))");
      char c = 1;
      if (::write(toParent[1], &c, 1) != 1 || ::read(toChild[0], &c, 1) != 1) code = 2;
      if (query(*session, "select count(*) from notes") != Rows{{"1"}}) code = 3;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "child failed: %s\n", e.what());
      code = 4;
    }
    ::_exit(code);
  }
  char c = 0;
  ASSERT_EQ(::read(toParent[0], &c, 1), 1);
  EXPECT_EQ(query(*sys, "select dname from app.dept where deptno = 40"), Rows{{"OPERATIONS"}});
  exec(*sys, "insert into app.notes values (1, 'from the parent')");
  ASSERT_EQ(::write(toChild[1], &c, 1), 1);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  for (int fd : {toChild[0], toChild[1], toParent[0], toParent[1]}) ::close(fd);
}

// In a child: the file-size limit and the ignored SIGXFSZ must not reach the test runner.
int unwritableStatementsChild(Database& db, Session& s) {
  std::string journal = db.directory() + "/journal";
  Rows before = look(s);
  ::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{static_cast<rlim_t>(std::filesystem::file_size(journal)) + 2000, RLIM_INFINITY};
  ::setrlimit(RLIMIT_FSIZE, &limit);
  if (errorCode(s,
                "insert into app.emp (empno, ename, deptno) select 5000 + level, 'N' || "
                "level, 10 from dual connect by level <= 500") != 1114) {
    return 2;
  }
  if (errorCode(s,
                "create table app.big as select level id, rpad('x', 100, 'x') pad "
                "from dual connect by level <= 500") != 1114) {
    return 3;
  }
  if (errorCode(s, "alter table app.emp add (extra varchar2(4000) default rpad('y', 4000, 'y'))") !=
      1114) {
    return 4;
  }
  if (look(s) != before) return 5;
  limit.rlim_cur = RLIM_INFINITY;
  ::setrlimit(RLIMIT_FSIZE, &limit);
  exec(s, "insert into app.dept (deptno, dname) values (50, 'AFTER')");
  return 0;
}

TEST_F(SqlPersistence, AStatementThatCannotBeWrittenFailsAndLeavesNothing) {
  pid_t child = ::fork();
  if (child == 0) {
    int code = 90;
    try {
      code = unwritableStatementsChild(*db, *sys);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "child failed: %s\n", e.what());
    }
    ::_exit(code);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status)) << status;
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(query(*sys, "select dname from app.dept where deptno = 50"), Rows{{"AFTER"}});
  EXPECT_EQ(query(*sys, "select count(*) from all_tables where table_name = 'BIG'"), Rows{{"0"}});
  Rows seen = look(*sys);
  reopenDatabase();
  EXPECT_EQ(look(*sys), seen);
}

}  // namespace
}  // namespace ocisim::storage::testing
