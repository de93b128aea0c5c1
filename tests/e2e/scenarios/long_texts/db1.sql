CREATE TABLE settings_with_a_long_name_xyz (
  setting_identifier_with_30_chr  NUMBER(10)     CONSTRAINT settings_long_pk PRIMARY KEY,
  description_of_the_setting_abc  VARCHAR2(200)  DEFAULT 'This setting has not been described yet; please describe it before the release'
                                                 NOT NULL,
  category_of_the_setting_abcdef  VARCHAR2(60),
  CONSTRAINT settings_long_category_ck CHECK (category_of_the_setting_abcdef IN ('general settings', 'user interface settings', 'network   settings'))
);

CREATE TABLE notes (
  note_id  NUMBER(6)     CONSTRAINT notes_pk PRIMARY KEY,
  body     VARCHAR2(300) DEFAULT 'A note that nobody has written yet, kept here so that the table is never empty of text'
);
