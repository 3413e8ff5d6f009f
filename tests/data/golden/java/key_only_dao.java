import java.sql.*;
import oracle.jdbc.pool.*;

/**
 *  User_rolesDAO
 */
public class User_rolesDAO implements <YourDAOInterface>
{
    private static String FIND_BEAN_SQL = 
        "select"

      + "from"
      + "  APP.USER_ROLES "
      + "where"
      + "  USER_ID = ? and "
      + "  ROLE_ID = ?";

    private static String INSERT_BEAN_SQL = 
        "insert into APP.USER_ROLES"
      + "  (USER_ID,ROLE_ID) "
      + "values"
      + "  (?, ?)";

    private static String UPDATE_BEAN_SQL = 
        "update"
      + "  APP.USER_ROLES "
      + "set"

      + "where"
      + "  USER_ID = ? and "
      + "  ROLE_ID = ?";

    private static String DELETE_BEAN_SQL = 
        "delete "
      + "  APP.USER_ROLES "
      + "where"
      + "  USER_ID = ? and "
      + "  ROLE_ID = ?";

    private OracleConnectionPoolDataSource oracleDataSource;

    public User_rolesDAO()
    {
      // initialization
    }

    public void setOracleDataSource(OracleConnectionPoolDataSource oracleDataSource)
    {
        this.oracleDataSource = oracleDataSource;
    }

    public User_roles findUser_roles(int user_id,int role_id) throws SQLException
    {
        User_roles bean = null;

        PooledConnection pc = oracleDataSource.getPooledConnection();

        Connection con = null;
        PreparedStatement ps = null;
        ResultSet rs = null;

        try
        {
            con = pc.getConnection();
            ps = con.prepareStatement(FIND_BEAN_SQL);
            ps.setInt(1, user_id);
            ps.setInt(2, role_id);
            rs = ps.executeQuery();

            if (rs.next())
            {
                bean = new User_roles();
                bean.setUser_id(rs.getInt("USER_ID"));
                bean.setRole_id(rs.getInt("ROLE_ID"));
            }
        }
        finally
        {
            try
            {
                if (rs != null)
                {
                    rs.close();
                }
            } catch(Exception e) {}

            try
            {
                if (ps != null)
                {
                    ps.close();
                }
            } catch(Exception e) {}
        }

        return bean;
    }

    public void insertUser_roles(int user_id,int role_id)
    {
        PooledConnection pc = oracleDataSource.getPooledConnection();

        Connection con = null;
        PreparedStatement ps = null;

        try
        {
            con = pc.getConnection();
            ps = con.prepareStatement(INSERT_BEAN_SQL);
            ps.setInt(1, user_id);
            ps.setInt(2, role_id);
            ps.execute();
        }
        finally
        {
            try
            {
                if (ps != null)
                {
                    ps.close();
                }
            } catch(Exception e) {}
        }
    }

    public void updateUser_roles(
,
      int user_id,int role_id)
    {
        PooledConnection pc = oracleDataSource.getPooledConnection();

        Connection con = null;
        PreparedStatement ps = null;

        try
        {
            con = pc.getConnection();
            ps = con.prepareStatement(UPDATE_BEAN_SQL);

            ps.setInt(1, user_id);
            ps.setInt(2, role_id);
            ps.execute();
        }
        finally
        {
            try
            {
                if (ps != null)
                {
                    ps.close();
                }
            } catch(Exception e) {}
        }
    }

    public void deleteUser_roles(int user_id,int role_id)
    {
        PooledConnection pc = oracleDataSource.getPooledConnection();

        Connection con = null;
        PreparedStatement ps = null;

        try
        {
            con = pc.getConnection();
            ps = con.prepareStatement(DELETE_BEAN_SQL);
            ps.setInt(1, user_id);
            ps.setInt(2, role_id);
            ps.execute();
        }
        finally
        {
            try
            {
                if (ps != null)
                {
                    ps.close();
                }
            } catch(Exception e) {}
        }
    }
}
