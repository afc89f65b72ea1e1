#include "demosuite/BillingSchema.h"

#include "platform/SqlConnection.h"

namespace {

const char* const kTables = R"SQL(
create table [tbl customer] (
    custkey integer primary key,
    accno text not null,
    lookupname text,
    fname text,
    mname text,
    lname text,
    CompanyName text,
    phone text,
    addr1 text,
    addr2 text,
    city text,
    state text,
    zip text,
    status text,
    active integer not null default -1,
    opendate text
);
create table [tbl location] (
    lockey integer primary key,
    custkey integer not null,
    ID text,
    addr1 text,
    addr2 text,
    locroute text,
    locseq integer,
    indate text,
    outdate text
);
create table [tbl reading] (
    ReadingKey integer primary key,
    CustKey integer not null,
    LocKey integer not null,
    Code text,
    ReadDate text,
    BillDate text,
    Previous numeric,
    Present numeric,
    Usage numeric,
    Multiplier numeric,
    MultiTenants integer,
    Factor numeric,
    MSN text,
    ChgOut integer,
    estimated integer,
    mrcomment text,
    EntryDate text
);
create table [tbl bill detail] (
    custkey integer not null,
    lockey integer not null,
    date text,
    code text,
    comment text,
    amount real,
    adjusted integer
);
create table [tbl payment detail] (
    custkey integer not null,
    lockey integer not null,
    date text,
    code text,
    pmttype text,
    docno text,
    amount real
);
create table [tbl deposit] (
    custkey integer not null,
    lockey integer not null,
    date text,
    code text,
    amount real
);
create table [tbl deposit refund] (
    custkey integer not null,
    lockey integer not null,
    date text,
    code text,
    appliedtobill real,
    returnedtocustomer real
);
create table [tbl balance] (
    custkey integer not null,
    lockey integer not null,
    code text not null,
    totalcharges real not null default 0,
    totalpaid real not null default 0
);
create table histcomments (
    custkey integer not null,
    lockey integer not null,
    edate text,
    comment text,
    UserID text
);
create table acctedits (
    custkey integer not null,
    lockey integer,
    chgdate text,
    chgfield text,
    chgfrom text,
    chgto text,
    userid text
);
create table [lkup transaction code] (
    code text primary key,
    description text,
    tgkey integer
);
)SQL";

// Every per-account read filters on lockey and custkey; lockey first because it
// is the more selective key.
const char* const kIndexes = R"SQL(
create index [ix location custkey] on [tbl location] (custkey);
create index [ix reading account] on [tbl reading] (LocKey, CustKey, BillDate);
create index [ix bill detail account] on [tbl bill detail] (lockey, custkey);
create index [ix payment detail account] on [tbl payment detail] (lockey, custkey);
create index [ix deposit account] on [tbl deposit] (lockey, custkey);
create index [ix deposit refund account] on [tbl deposit refund] (lockey, custkey);
create unique index [ix balance account code] on [tbl balance] (lockey, custkey, code);
create index [ix histcomments account] on histcomments (lockey, custkey);
create index [ix acctedits customer] on acctedits (custkey);
)SQL";

const char* const kGlobal = R"SQL(
create table current (
    databasepath text,
    DatabaseFileName text,
    CompanyName text
);
)SQL";

Outcome execAll(SqlConnection& db, const char* sql)
{
    db.execScript(sql);
    return db.outcome();
}

} // namespace

namespace BillingSchema {

Outcome createTables(SqlConnection& db)
{
    return execAll(db, kTables);
}

Outcome createIndexes(SqlConnection& db)
{
    return execAll(db, kIndexes);
}

Outcome create(SqlConnection& db)
{
    const Outcome tables = createTables(db);
    return tables ? createIndexes(db) : tables;
}

Outcome createGlobal(SqlConnection& db)
{
    return execAll(db, kGlobal);
}

} // namespace BillingSchema
